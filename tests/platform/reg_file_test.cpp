// Registry files as text: Wine's own files and exported .reg files.
#include "platform/reg_file.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/text.h"

namespace {

struct Recorder : RegistryVisitor {
  bool Visit(const RegistryKey& key) override {
    keys.push_back(key);
    return true;
  }
  std::vector<RegistryKey> keys;
};

std::vector<RegistryKey> Parse(const std::string& bytes) {
  Recorder recorder;
  EXPECT_TRUE(ParseRegFile(RegFileText(bytes), recorder));
  return recorder.keys;
}

std::string Utf16LeWithMark(const std::string& ascii) {
  std::string bytes = "\xFF\xFE";
  for (char c : ascii) {
    bytes.push_back(c);
    bytes.push_back('\0');
  }
  return bytes;
}

TEST(RegFileTest, WineFileKeysValuesAndEscapes) {
  const std::string file =
      "WINE REGISTRY Version 2\n"
      ";; All keys relative to REGISTRY\\\\Machine\n"
      "\n"
      "#arch=win64\n"
      "\n"
      "[Software\\\\Classes\\\\CLSID\\\\{1234}\\\\InprocServer32] 1700000000\n"
      "#time=1d9f0e0c0a0b0c0\n"
      "@=\"C:\\\\windows\\\\system32\\\\madeup.dll\"\n"
      "\"ThreadingModel\"=\"Both\"\n"
      "[System\\\\CurrentControlSet\\\\Control\\\\Lsa\\\\MSV1_0] 1700000000\n"
      "\"Auth\"=str(2):\"%SystemRoot%\\\\x\\x00e9.dll\"\n"
      "\"Packages\"=str(7):\"one.dll\\0two.dll\\0\"\n"
      "\"Expand\"=hex(2):66,00,6f,00,6f,00,2e,00,\\\n"
      "  64,00,6c,00,6c,00,00,00\n"
      "\"List\"=hex(7):61,00,00,00,62,00,00,00,00,00\n"
      "\"Number\"=dword:00000001\n";
  const std::vector<RegistryKey> keys = Parse(file);
  std::vector<std::string> paths;
  for (const RegistryKey& key : keys) paths.push_back(key.path);
  // Keys without a line of their own come first, with their name alone.
  EXPECT_EQ(paths, (std::vector<std::string>{
                       "HKEY_LOCAL_MACHINE\\Software",
                       "HKEY_LOCAL_MACHINE\\Software\\Classes",
                       "HKEY_LOCAL_MACHINE\\Software\\Classes\\CLSID",
                       "HKEY_LOCAL_MACHINE\\Software\\Classes\\CLSID\\{1234}",
                       "HKEY_LOCAL_MACHINE\\Software\\Classes\\CLSID\\{1234}\\InprocServer32",
                       "HKEY_LOCAL_MACHINE\\System",
                       "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet",
                       "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control",
                       "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\Lsa",
                       "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\Lsa\\MSV1_0",
                   }));
  EXPECT_EQ(keys[2].texts, (std::vector<std::string>{"CLSID"}));
  EXPECT_EQ(keys[4].texts, (std::vector<std::string>{"InprocServer32", "C:\\windows\\system32\\madeup.dll",
                                                      "ThreadingModel", "Both"}));
  EXPECT_EQ(keys[9].texts, (std::vector<std::string>{
                               "MSV1_0", "Auth", "%SystemRoot%\\x" + Utf16ToAnsi(u"\u00e9") + ".dll", "Packages",
                               std::string("one.dll\0two.dll\0", 16), "Expand", std::string("foo.dll\0", 8),
                               "List", std::string("a\0b\0\0", 5), "Number"}));
}

TEST(RegFileTest, UserFilesAndOlderRootLines) {
  const std::vector<RegistryKey> user = Parse(
      "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n"
      "[Software\\\\Wine\\\\DllOverrides] 1\n\"*comctl32\"=\"native\"\n");
  ASSERT_EQ(user.size(), 4u);
  EXPECT_EQ(user[0].path, "HKEY_USERS\\S-1-5-21-0-0-0-1000");
  EXPECT_EQ(user[3].path, "HKEY_USERS\\S-1-5-21-0-0-0-1000\\Software\\Wine\\DllOverrides");
  EXPECT_EQ(user[3].texts, (std::vector<std::string>{"DllOverrides", "*comctl32", "native"}));
}

TEST(RegFileTest, ExportedFilesInBothVersions) {
  // Version 5 in UTF-16: key paths as they are, hex strings in UTF-16.
  const std::vector<RegistryKey> five = Parse(Utf16LeWithMark(
      "Windows Registry Editor Version 5.00\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor\\Codec]\r\n"
      "\"Path\"=\"C:\\\\Codecs\\\\vendor.ax\"\r\n"
      "\"Expand\"=hex(2):62,00,61,00,72,00,00,00\r\n"
      "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Gone]\r\n"));
  ASSERT_EQ(five.size(), 3u);
  EXPECT_EQ(five[2].path, "HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor\\Codec");
  EXPECT_EQ(five[2].texts,
            (std::vector<std::string>{"Codec", "Path", "C:\\Codecs\\vendor.ax", "Expand", std::string("bar\0", 4)}));

  // The same in UTF-16 big endian.
  std::string bigEndian = Utf16LeWithMark("Windows Registry Editor Version 5.00\r\n[HKEY_USERS\\Big]\r\n\"A\"=\"b\"\r\n");
  for (std::size_t i = 0; i + 1 < bigEndian.size(); i += 2) std::swap(bigEndian[i], bigEndian[i + 1]);
  const std::vector<RegistryKey> big = Parse(bigEndian);
  ASSERT_EQ(big.size(), 1u);
  EXPECT_EQ(big[0].texts, (std::vector<std::string>{"Big", "A", "b"}));

  // REGEDIT4: hex strings are 8-bit text.
  const std::vector<RegistryKey> four =
      Parse("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Old]\n\"Lib\"=hex(2):6f,6c,64,2e,64,6c,6c,00\n");
  ASSERT_EQ(four.size(), 2u);
  EXPECT_EQ(four[1].texts, (std::vector<std::string>{"Old", "Lib", std::string("old.dll\0", 8)}));
}

TEST(RegFileTest, EightBitTextHasTheOtherReadingOfThePlatform) {
  // "tü.dll" in UTF-8 and in Windows-1252: one platform reads the one, the
  // other the other, and gives the second reading for the first.
  const std::string utf8 = "t\xC3\xBC.dll", windows1252 = "t\xFC.dll";
  const std::string fromUtf8 = OtherReadingOf8BitText(utf8), from1252 = OtherReadingOf8BitText(windows1252);
  EXPECT_TRUE((fromUtf8 == windows1252 && from1252.empty()) || (from1252 == utf8 && fromUtf8.empty()))
      << "[" << fromUtf8 << "] [" << from1252 << "]";
  EXPECT_EQ(OtherReadingOf8BitText("plain.dll"), "");
}

TEST(RegFileTest, BrokenLinesArePassedOver) {
  const std::vector<RegistryKey> keys = Parse(
      "WINE REGISTRY Version 2\n\"before any key\"=\"x\"\n[Unclosed\\\\key\n[Key] 1\n\"unclosed=\"value\n"
      "\"Good\"=\"yes\"\n\"Hex\"=hex(2):6\n");
  ASSERT_EQ(keys.size(), 1u);
  EXPECT_EQ(keys[0].path, "Key");
  EXPECT_EQ(keys[0].texts, (std::vector<std::string>{"Key", "Good", "yes", "Hex", ""}));
}

}  // namespace
