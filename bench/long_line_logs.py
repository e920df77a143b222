#!/usr/bin/env python3
"""Writes logs whose lines are far longer than the reader's buffer.

    bench/long_line_logs.py DIR MEGABYTES

Each log holds ordinary lines around one line of about MEGABYTES MB (a kill
line with huge names, a chat line, markers and landmarks far out in a line, a
stamp that ends far out, a long line at the very end without a line end), so
that the report of a program that holds every line whole can be compared with
the one of the reader that keeps only an excerpt of a long line.
"""
import os
import sys

BLOCK = 1 << 24

HEADER = (b'L 10/25/2003 - 21:13:45: Started map "de_dust"\r\n'
          b'L 10/25/2003 - 21:14:02: "Alpha<12><1001><CT>" killed "Bravo<13><1002><TERRORIST>" with "knife"\r\n')
FOOTER = (b'\r\nL 10/25/2003 - 21:16:40: Team "CT" triggered "CTs_Win" (CT "1") (T "0")\r\n'
          b'L 10/25/2003 - 21:17:02: "Bravo<13><1002><TERRORIST>" killed "Alpha<12><1001><CT>" with "usp"\r\n')
STAMP = b'L 10/25/2003 - 21:15:00: '


class Fill:
    """A run of one byte, written in blocks."""

    def __init__(self, size, byte=b'a'):
        self.size, self.byte = size, byte


def write(path, parts):
    with open(path, 'wb') as out:
        for part in parts:
            if isinstance(part, Fill):
                left = part.size
                while left > 0:
                    n = min(left, BLOCK)
                    out.write(part.byte * n)
                    left -= n
            else:
                out.write(part)


def cases(mb):
    big = mb << 20
    third = big // 3
    return {
        'kill_huge_names': [HEADER, STAMP, b'"', Fill(third, b'A'), b'<12><1001><CT>" killed "', Fill(third, b'B'),
                            b'<13><1002><TERRORIST>" with "', Fill(third, b'w'), b'"', FOOTER],
        'kill_names_255_then_long': [HEADER, STAMP, b'"', Fill(254, b'A'), b'<12><1001><CT>" killed "',
                                     Fill(big, b'B'), b'<13><1002><TERRORIST>" with "knife"', FOOTER],
        'chat_line': [HEADER, STAMP, b'"Alpha<12><1001><CT>" say "', Fill(big), b'"', FOOTER],
        'markers_far_out': [HEADER, STAMP, Fill(third), b'"Far<1><2><CT>" killed "Away<3><4><TERRORIST>" with "awp"',
                            Fill(third), b'Started map "far_map"', Fill(third),
                            b'triggered "Terrorists_Win" (CT "7") (T "8")', FOOTER],
        'ct_far_before_killed': [HEADER, STAMP, b'"Alpha<1><2><TERRORIST>" ', Fill(third), b'<CT>', Fill(200),
                                 b'killed "Bravo<3><4><TERRORIST>" with "m4a1"', Fill(third), FOOTER],
        'stamp_end_far_out': [HEADER, b'L 10/25/2003 - 21:15:30', Fill(big), b': "A<1><2><CT>" killed "B<3><4><CT>" with "p90"',
                              FOOTER],
        'long_last_line_without_end': [HEADER, FOOTER[2:], STAMP, b'"Last<5><6><CT>" killed "Line<7><8><TERRORIST>" ',
                                       Fill(big), b'with "scout"'],
        'line_without_stamp': [HEADER, Fill(big), FOOTER],
    }


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    folder, mb = sys.argv[1], int(sys.argv[2])
    os.makedirs(folder, exist_ok=True)
    for name, parts in cases(mb).items():
        write(os.path.join(folder, name + '.log'), parts)
        print(os.path.join(folder, name + '.log'))


if __name__ == '__main__':
    main()
