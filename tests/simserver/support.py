"""Shared set-up of the server tests: paths and the harness import."""

import os
import sys

TESTS_DIR = os.path.dirname(os.path.abspath(__file__))
REPO_ROOT = os.path.dirname(os.path.dirname(TESTS_DIR))
DATA_DIR = os.path.join(TESTS_DIR, "data")
SMALL_REPOSITORY = os.path.join(DATA_DIR, "small_repository.xml")
CIM_DTD = os.path.join(DATA_DIR, "DSP0203_2.3.1.dtd")

sys.path.insert(0, os.path.join(REPO_ROOT, "tools", "simserver"))

from harness import SimServer  # noqa: E402  (needs the path above)

__all__ = ["SimServer", "SMALL_REPOSITORY", "CIM_DTD", "DATA_DIR", "REPO_ROOT"]
