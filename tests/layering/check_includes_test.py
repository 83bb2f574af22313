#!/usr/bin/env python3
"""The include check over a copy of the tree: it passes on the copy as it is,
fails naming file, line and include once one include against the direction is
added, and lets through what the rules allow.

Usage: check_includes_test.py ROOT"""
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
CHECK = os.path.join(HERE, "check_includes.py")
sys.path.insert(0, HERE)
import check_includes  # noqa: E402

ROOT = None


class IncludeCheckTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.copy = tempfile.mkdtemp(prefix="include-check-")
        cls.files = list(check_includes.source_files(ROOT))
        for path in cls.files:
            os.makedirs(os.path.join(cls.copy, os.path.dirname(path)), exist_ok=True)
            shutil.copyfile(os.path.join(ROOT, path), os.path.join(cls.copy, path))

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.copy)

    def run_check(self):
        return subprocess.run([sys.executable, CHECK, self.copy], capture_output=True, text=True, timeout=120)

    def with_include(self, path, written, angle=False):
        """Runs the check with one include appended to path (made when
        missing), then puts the file back as it was."""
        full = os.path.join(self.copy, path)
        before = None
        if os.path.exists(full):
            with open(full, encoding="utf-8") as text:
                before = text.read()
        else:
            os.makedirs(os.path.dirname(full), exist_ok=True)
        text = (before or "") + ("#include <%s>\n" if angle else '#include "%s"\n') % written
        with open(full, "w", encoding="utf-8") as out:
            out.write(text)
        try:
            return self.run_check(), text.count("\n")
        finally:
            if before is None:
                os.remove(full)
            else:
                with open(full, "w", encoding="utf-8") as out:
                    out.write(before)

    def test_the_tree_as_it_is_passes(self):
        self.assertGreater(len(self.files), 50)
        result = self.run_check()
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)

    def test_each_include_against_the_direction_fails_naming_file_line_and_include(self):
        cases = [
            ("analysis/analyze_file.cpp", "usage/candidates.h"),  # upward
            ("config/settings.cpp", "analysis/analyze_file.h"),  # between peers
            ("analysis/later_bound_modules.cpp", "config/settings.h"),  # between peers
            ("platform/reg_file.cpp", "base/format.h"),  # platform includes nothing above
            ("base/format.cpp", "usage/process_state.h"),
            ("usage/backup.cpp", "ui/dialog_texts.h"),  # the core includes a program
            ("usage/startup.cpp", "tools/exeprobe/exeprobe.h"),
            ("base/format.cpp", "tests/builders/bytes.h"),  # production includes test code
            ("config/log.cpp", "samples/sample_files.h"),
            ("ui/console/main.cpp", "platform/posix/mapped_file_view.h"),  # an implementation, outside platform/
            ("tests/usage/search_test.cpp", "platform/win32/anything.h"),
            ("platform/posix/text.cpp", "platform/win32/text.h"),  # one implementation the other
            ("ui/console/main.cpp", "ui/win32/resource_ids.h"),  # one program another's
            ("analysis/new_file.h", "usage/candidates.h"),  # a new file is read too
        ]
        for path, written in cases:
            with self.subTest(path=path, include=written):
                result, line = self.with_include(path, written)
                self.assertEqual(result.returncode, 1, result.stdout + result.stderr)
                self.assertIn('%s:%d: #include "%s"' % (path, line, written), result.stdout)

    def test_an_include_in_angle_brackets_is_held_to_the_same_rules(self):
        result, line = self.with_include("analysis/analyze_file.cpp", "usage/candidates.h", angle=True)
        self.assertEqual(result.returncode, 1, result.stdout + result.stderr)
        self.assertIn("analysis/analyze_file.cpp:%d: #include <usage/candidates.h>" % line, result.stdout)
        result, _ = self.with_include("analysis/analyze_file.cpp", "sys/stat.h", angle=True)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)

    def test_what_the_rules_allow_passes(self):
        cases = [
            ("tests/platform/posix/profile_posix_test.cpp", "platform/posix/profile_internals.h"),
            ("platform/directory.h", "platform/posix/anything.h"),
            ("tools/exeprobe/exeprobe.cpp", "usage/candidates.h"),
            ("ui/win32/main_dialog.cpp", "ui/dialog_texts.h"),
            ("samples/sample_files.cpp", "tests/builders/bytes.h"),
            ("usage/startup.cpp", "analysis/analyze_file.h"),
        ]
        for path, written in cases:
            with self.subTest(path=path, include=written):
                result, _ = self.with_include(path, written)
                self.assertEqual(result.returncode, 0, result.stdout + result.stderr)

    def test_a_root_without_sources_is_an_error_not_a_pass(self):
        with tempfile.TemporaryDirectory() as empty:
            result = subprocess.run([sys.executable, CHECK, empty], capture_output=True, text=True, timeout=60)
        self.assertEqual(result.returncode, 2)


if __name__ == "__main__":
    ROOT = sys.argv.pop(1)
    unittest.main()
