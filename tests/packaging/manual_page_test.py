#!/usr/bin/env python3
"""Checks the manual page: groff and man render it without a warning at the
usual terminal widths, and what it documents matches the program's own
tables (options, exit codes, categories and their classes), so the page
cannot drift from the code.

Usage: manual_page_test.py PATH_TO_PAGE SOURCE_TREE [unittest options]
"""
import os
import re
import subprocess
import sys
import unittest

PAGE = None
SOURCE = None


def read_source(relative_path):
    with open(os.path.join(SOURCE, relative_path), encoding="utf-8") as f:
        return f.read()


def rendered_sections():
    """The page as plain text on long lines, split into its sections: a dict
    from section heading to the section's lines."""
    text = subprocess.run(
        ["groff", "-man", "-Tascii", "-P-cbou", "-rLL=200n", PAGE],
        check=True, capture_output=True, text=True).stdout
    sections = {}
    lines = None
    for line in text.splitlines():
        if re.match(r"[A-Z]", line):
            lines = sections.setdefault(line.strip(), [])
        elif lines is not None:
            lines.append(line)
    return sections


def tagged_entries(lines):
    """The entries of a tagged list: a dict from tag to the entry's text. A tag
    starts a line at the section indent; its text runs on the deeper
    indented lines below."""
    entries = {}
    current = None
    for line in lines:
        tag = re.match(r" {7}(\S+)(.*)", line)
        if tag:
            current = tag.group(1)
            entries[current] = tag.group(2)
        elif current is not None and line.startswith(" " * 8):
            entries[current] += " " + line.strip()
    return entries


class RenderingTest(unittest.TestCase):
    WIDTHS = (60, 80, 120)

    def test_groff_finds_nothing_to_warn_about(self):
        for width in self.WIDTHS:
            with self.subTest(width=width):
                result = subprocess.run(
                    ["groff", "-ww", "-man", "-Tutf8", "-z", "-rLL=%dn" % width, PAGE],
                    capture_output=True, text=True)
                self.assertEqual(result.returncode, 0, result.stderr)
                self.assertEqual(result.stderr, "")

    def test_man_renders_it_without_warnings(self):
        for width in self.WIDTHS:
            with self.subTest(width=width):
                env = dict(os.environ, MANWIDTH=str(width), MANPAGER="cat", PAGER="cat")
                result = subprocess.run(["man", "--warnings", "-l", PAGE],
                                        capture_output=True, text=True, env=env)
                self.assertEqual(result.returncode, 0, result.stderr)
                self.assertEqual(result.stderr, "")
                self.assertIn("SYNOPSIS", result.stdout)


class AgreementWithCodeTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.sections = rendered_sections()

    def section(self, name):
        self.assertIn(name, self.sections, "the page has no section %s" % name)
        return self.sections[name]

    def test_every_option_in_its_short_long_and_slash_forms(self):
        # The code of a record is its letter, or a constant for an option
        # that has no short form.
        source = read_source("cli/option_table.cpp")
        table = re.findall(r'\{"(\w+)",\s*cli_\w+,\s*nullptr,\s*(?:\'(\w)\'|k\w+)\}', source)
        short_options = re.search(r'kShortOptions\[\] = "([^"]*)"', source).group(1)
        self.assertEqual(len(table), source.count('{"'), "the option table was not read completely")
        self.assertEqual(sorted(letter for _, letter in table if letter),
                         sorted(short_options.replace(":", "")),
                         "the option table was not read completely")
        tag_lines = [line for line in self.section("OPTIONS") if re.match(r" {7}[-/]", line)]
        for name, letter in table:
            with self.subTest(option=name):
                forms = [r"(^|\s)--%s\b" % name, r"(^|\s)/%s\b" % name]
                if letter:
                    forms.append(r"(^|\s)-%s\b" % letter)
                self.assertTrue(
                    any(all(re.search(form, line) for form in forms) for line in tag_lines),
                    "no entry names %s together" % ", ".join(
                        (["-" + letter] if letter else []) + ["--" + name, "/" + name]))

    def test_exactly_the_program_exit_codes(self):
        codes = {int(code) for code in
                 re.findall(r"kExit\w+ = (\d+)", read_source("cli/exit_codes.h"))}
        self.assertIn(14, codes, "the exit codes were not read")
        documented = {int(tag) for tag in tagged_entries(self.section("EXIT STATUS"))
                      if tag.isdigit()}
        self.assertEqual(documented, codes)

    def test_each_category_lists_exactly_its_classes(self):
        rows = re.findall(r'\{"(NVX_\w+)",\s*"[^"]*",\s*"[^"]*",\s*"([A-Z]+)"\}',
                          read_source("inventory/class_catalogue.cpp"))
        expected = {}
        for class_name, category in rows:
            expected.setdefault(category, set()).add(class_name)
        entries = tagged_entries(self.section("CATEGORIES"))
        documented = {tag: set(re.findall(r"NVX_\w+", text))
                      for tag, text in entries.items() if tag.isupper()}
        self.assertEqual(documented, expected)

        description = " ".join(self.section("DESCRIPTION"))
        count = re.search(r"(\d+) provider classes", description)
        self.assertIsNotNone(count, "the description does not say how many classes are read")
        self.assertEqual(int(count.group(1)), len(rows))


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    PAGE, SOURCE = sys.argv[1], sys.argv[2]
    unittest.main(argv=[sys.argv[0]] + sys.argv[3:])
