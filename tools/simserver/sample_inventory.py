#!/usr/bin/env python3
"""Writes the sample inventory as one CIM-XML repository file for simserver:
the class declarations (DMTF parents and the vendor's provider classes) and the
instances of a two-socket rack server, scaled by --scale for benchmarks.

    python3 sample_inventory.py --output FILE [--scale N]
"""

import argparse
import sys

from sample_cim_classes import CIM_CLASSES
from sample_instances import generate
from sample_nvx_classes import NVX_CLASSES
from schema_model import Schema, instance_xml

SCHEMA = Schema(CIM_CLASSES + NVX_CLASSES)


def write_repository(stream, scale=1):
    """Writes the repository to a text stream; returns the number of instances."""
    stream.write('<?xml version="1.0" encoding="utf-8"?>\n'
                 '<CIM CIMVERSION="2.0" DTDVERSION="2.0">\n<DECLARATION>\n<DECLGROUP>\n')
    for cls in SCHEMA.classes.values():
        stream.write("<VALUE.OBJECT>\n%s</VALUE.OBJECT>\n" % cls.xml())
    count = 0
    for class_name, values in generate(scale):
        stream.write(instance_xml(SCHEMA, class_name, values))
        count += 1
    stream.write("</DECLGROUP>\n</DECLARATION>\n</CIM>\n")
    return count


def main(argv):
    parser = argparse.ArgumentParser(description="Write the sample inventory repository.")
    parser.add_argument("--output", "-o", required=True, help="repository file to write")
    parser.add_argument("--scale", type=int, default=1,
                        help="multiply every repeated component by this (default 1)")
    args = parser.parse_args(argv)
    if args.scale < 1:
        parser.error("--scale must be 1 or more")
    with open(args.output, "w", encoding="utf-8") as stream:
        count = write_repository(stream, args.scale)
    print("%s: %d classes, %d instances" % (args.output, len(SCHEMA.classes), count))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
