// The rule by which a text names a candidate library.
#include "usage/name_in_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/test_installation.h"
#include "usage/candidates.h"
#include "usage/process_state.h"

namespace testbuild {
namespace {

class NameInTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"foo.dll", "msv1_0.dll", "my lib.dll", "noext"}) {
      AddCandidate(state_, state_.CandidateList, name, "C:\\windows\\system32\\");
    }
  }

  // The names of the candidates the text names, in the order found.
  std::vector<std::string> Named(const std::string& text) {
    std::vector<std::string> names;
    NameInText(state_).Find(text, [&](int index) {
      names.push_back(CandidateAt(state_.CandidateList, index)->name);
    });
    return names;
  }

  ProcessState state_;
};

TEST_F(NameInTextTest, WholeNamesAndBaseNamesBetweenPathPartEnds) {
  using Names = std::vector<std::string>;
  EXPECT_EQ(Named("C:\\windows\\system32\\FOO.DLL"), Names{"foo.dll"});
  EXPECT_EQ(Named("foo"), Names{"foo.dll"}) << "the base name alone";
  EXPECT_EQ(Named("vidc.cvid=foo.dll"), Names{"foo.dll"});
  EXPECT_EQ(Named("rundll32 foo,Entry"), Names{"foo.dll"});
  EXPECT_EQ(Named("\"foo.dll\";@msv1_0.dll,-12"), (Names{"foo.dll", "msv1_0.dll"}));
  EXPECT_EQ(Named("MSV1_0"), Names{"msv1_0.dll"}) << "a key named like the base name";
  EXPECT_EQ(Named(std::string("a.dll\0foo.dll\0", 14)), Names{"foo.dll"}) << "strings of a list";
  EXPECT_EQ(Named("(foo)[noext]"), (Names{"foo.dll", "noext"}));
  EXPECT_EQ(Named("C:\\Program Files\\my lib.dll"), Names{"my lib.dll"}) << "a name with a blank";
  EXPECT_EQ(Named("line one\r\nfoo.dll\r\n"), Names{"foo.dll"});
}

TEST_F(NameInTextTest, NearMissesNameNothing) {
  for (const char* text : {"foo.dllx", "xfoo.dll=", "foo.bar", "foo.dll.mui", "foobar", "afoo", "foo_1.dll",
                           "C:\\my lib.dllx", "my libx", "notmy lib.dll", "msv1_0.dl", ""}) {
    EXPECT_TRUE(Named(text).empty()) << text;
  }
}

TEST_F(NameInTextTest, FoundCandidatesAreLeftOut) {
  CandidateAt(state_.CandidateList, 0)->found = 1;
  EXPECT_TRUE(Named("foo.dll").empty());
  EXPECT_FALSE(NameInText(state_).empty());
}

}  // namespace
}  // namespace testbuild
