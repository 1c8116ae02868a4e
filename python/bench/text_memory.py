#!/usr/bin/env python3
"""Peak memory of one large write through hyph.TextHyphenator.

  text_memory.py [MIB]

Writes MIB megabytes (default 200) of text, made before the measure starts,
in one call into a TextHyphenator whose output is counted and dropped, and
reports the process's peak resident size before and after, and the growth
as a share of the write ("key value" lines). Memory, not time: the figures
do not depend on the machine's load.
"""
import io
import resource
import sys

import hyph


class Sink(io.RawIOBase):
    def __init__(self):
        self.bytes = 0

    def writable(self):
        return True

    def write(self, data):
        self.bytes += len(data)
        return len(data)


def peak_mib():
    return resource.getrusage(resource.RUSAGE_SELF).ru_maxrss / 1024


def main():
    mib = int(sys.argv[1]) if len(sys.argv) > 1 else 200
    ascii = "hyphenation documentation representation Silbentrennung\n"
    for name, line in (("ascii", ascii), ("non_ascii", ascii.replace("Silben", "Sílben"))):
        count = mib * 2**20 // len(line)
        text = line * count
        write_mib = len(line.encode()) * count / 2**20
        before = peak_mib()
        sink = Sink()
        with hyph.TextHyphenator(sink, separator="\u00ad") as streamed:
            streamed.write(text)
        after = peak_mib()
        print(f"{name}_write_mib {write_mib:.0f}")
        print(f"{name}_peak_before_mib {before:.0f}")
        print(f"{name}_peak_after_mib {after:.0f}")
        print(f"{name}_growth_share_of_write {(after - before) / write_mib:.3f}")
        del text

if __name__ == "__main__":
    main()
