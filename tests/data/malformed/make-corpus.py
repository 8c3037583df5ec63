#!/usr/bin/env python3
"""Writes the malformed-input corpus beside this script: fare-table and text files that are
broken in one way each (tests/reliability/tst_malformedinput.cpp says what each must do).
Run it again after changing a case; the files are committed, so the tests need no Python."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
LAYOUTS = {  # fares per record, has ticket number, has reserved word
    'Hy3': (150, True, False),
    'Hyo': (72, False, False),
    'Hyp': (71, True, True),
}


def record(layout, name, ticket=0, fares=(), name_length=None):
    fare_count, has_ticket, has_reserved = LAYOUTS[layout]
    name_bytes = name.encode('cp932') if isinstance(name, str) else name
    out = struct.pack('<H', len(name_bytes) if name_length is None else name_length) + name_bytes
    if has_ticket:
        out += struct.pack('<h', ticket)
    if has_reserved:
        out += struct.pack('<h', 0)
    padded = list(fares) + [0] * (fare_count - len(fares))
    return out + struct.pack('<%dh' % fare_count, *padded[:fare_count])


def table(layout, records, count=None):
    return struct.pack('<h', len(records) if count is None else count) + b''.join(records)


def long_first(layout):
    """A first record whose long name pays for the fixed part of a second record, so that the
    check of the total length passes and the second record is cut inside a field."""
    return record(layout, 'A' * 400, 1, [100])


def write(name, data):
    with open(os.path.join(HERE, name), 'wb') as f:
        f.write(data)


cases = {}
for layout, (fare_count, has_ticket, has_reserved) in LAYOUTS.items():
    ok = record(layout, '東線', 0, [150, 170])
    cases[f'empty.{layout}'] = b''
    cases[f'one-byte.{layout}'] = b'\x01'
    cases[f'count-zero.{layout}'] = table(layout, [ok], count=0)
    cases[f'count-minus-one.{layout}'] = table(layout, [ok], count=-1)
    cases[f'count-302.{layout}'] = table(layout, [ok] * 302)
    cases[f'truncated-in-name-length.{layout}'] = table(layout, [long_first(layout)], 2) + b'\x05'
    cases[f'truncated-in-name.{layout}'] = (
        table(layout, [long_first(layout)], 2) + struct.pack('<H', 40) + '駅前'.encode('cp932'))
    cases[f'name-length-past-end.{layout}'] = table(layout, [record(layout, 'x' * 400)], 1)[:2] + \
        struct.pack('<H', 0xFFFF) + b'x' * 400
    cases[f'truncated-in-fares.{layout}'] = table(layout, [long_first(layout), ok], 2)[:-7]
    cases[f'truncated-last-byte.{layout}'] = table(layout, [ok])[:-1]
    if has_ticket:
        cases[f'truncated-in-ticket.{layout}'] = (
            table(layout, [long_first(layout)], 2) + struct.pack('<H', 0) + b'\x07')
    cases[f'invalid-sjis-name.{layout}'] = table(layout, [record(layout, b'\x93\x8c\x82\x20\xa0', 1)])
    cases[f'nul-in-name.{layout}'] = table(layout, [record(layout, b'A\x00B', 1, [5])])

cases['count-min.Hy3'] = table('Hy3', [record('Hy3', 'A')], count=-32768)
cases['count-max.Hy3'] = table('Hy3', [record('Hy3', 'A')], count=32767)
cases['all-nul.Hy3'] = b'\x00' * 1000
cases['all-ff.Hy3'] = b'\xff' * 1000
cases['text-named-hy3.Hy3'] = '東線,0, 150, 170\r\n駅前,1, 150\r\n'.encode('cp932')
cases['hyo-named-hy3.Hy3'] = table('Hyo', [record('Hyo', '東線', 0, [150])] * 3)
cases['reserved-nonzero.Hyp'] = table('Hyp', [record('Hyp', '東線', 3, [150])])[:2] + \
    struct.pack('<H', 4) + '東線'.encode('cp932') + struct.pack('<hh', 3, -1) + \
    struct.pack('<71h', *([150] + [0] * 70))

# Text: documented non-failures and real failures of the text import.
cases['empty.txt'] = b''
cases['blank-first-line.txt'] = '\r\n東線,0, 150\r\n'.encode('cp932')
cases['spaces-first-line.csv'] = '   \r\n東線,0, 150\r\n'.encode('cp932')
cases['invalid-sjis.txt'] = b'\x93\x8c\x82\x20\xa0,1, 150\r\n'
cases['nul-bytes.csv'] = b'A\x00B,1, 1\x005\r\n'
cases['overflow-fare.txt'] = '東線,0, 150, 40000\r\n'.encode('cp932')
cases['overflow-ticket.csv'] = '東線,99999\r\n'.encode('cp932')
cases['binary-named-txt.txt'] = table('Hy3', [record('Hy3', '東線', 0, [150]), record('Hy3', '駅前', 1, [13])])
cases['lone-lf.txt'] = '東線,0, 150\n駅前,1, 170\n'.encode('cp932')
cases['many-fields.csv'] = ('東線' + ',7' * 400 + '\r\n').encode('cp932')
cases['quotes-and-separators.txt'] = '"東,線"\t1，"2"\r\r\n'.encode('cp932')

for name, data in sorted(cases.items()):
    write(name, data)
print(len(cases), 'files')
