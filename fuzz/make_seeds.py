#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into corpus/<target>/: the
frames and files the tests know, in each target's input layout. Run from
anywhere; the seeds are committed, this only remakes them."""
import os
import pathlib
import re

HERE = pathlib.Path(__file__).resolve().parent
DATA = HERE.parent / "data"
TEST_DATA = HERE.parent / "tests" / "data"
CORPUS = HERE / "corpus"


def crc(body: bytes) -> bytes:
    c = 0xFFFF
    for b in body:
        c ^= b
        for _ in range(8):
            c = (c >> 1) ^ 0xA001 if c & 1 else c >> 1
    return body + bytes([c & 0xFF, c >> 8])


def lrc_frame(hex_text: str) -> bytes:
    s = sum(bytes.fromhex(hex_text)) & 0xFF
    return (":" + hex_text + "%02X" % ((0x100 - s) & 0xFF) + "\r\n").encode()


def native_data(station: str, value: int, digits: int, end: bytes = b"\r") -> bytes:
    text = ("%s%04X%d" % (station, value, digits)).encode()
    return b"\x02" + text + b"\x03" + ("%02X" % (sum(text) & 0xFF)).encode() + end


def native_ack(station: str, end: bytes = b"\r") -> bytes:
    return b"\x06" + station.encode() + end


def native_nak(station: str, code: str, end: bytes = b"\r") -> bytes:
    return b"\x15" + station.encode() + code.encode() + end


def native_request(station: str, code: int, data=None, end: bytes = b"\r") -> bytes:
    body = ("%s%02X0" % (station, code) + ("" if data is None else "%04X" % data)).encode()
    return b"\x05" + body + ("%02X" % (sum(body) & 0xFF)).encode() + end


def answers(*parts: bytes) -> bytes:
    return b"".join(bytes([len(p)]) + p for p in parts)


def write(target: str, name: str, content: bytes) -> None:
    folder = CORPUS / target
    folder.mkdir(parents=True, exist_ok=True)
    (folder / name).write_bytes(content)


def driver_seeds() -> None:
    # Byte 0 operation (0 read, 1 write, 2 packed, 3+ function), byte 1 its
    # argument, byte 2 the link settings (station 1, line end CR, group 0:
    # 3); then the answers.
    rtu = {
        "read": (0, 1, 3, answers(crc(bytes.fromhex("01030204D2")))),
        "read_exception": (0, 1, 3, answers(crc(bytes.fromhex("018302")))),
        "write_echo": (1, 1, 3, answers(crc(bytes.fromhex("010600041234")))),
        "write_refused": (1, 1, 3, answers(crc(bytes.fromhex("018603")))),
        "packed": (2, 3, 3, answers(crc(bytes.fromhex("0103080011002200330044")))),
        "mod": (3, 0, 3, answers(crc(bytes.fromhex("0103020001")))),
        "sta": (3, 1, 3, answers(crc(bytes.fromhex("010302004B")))),
        "fwd": (3, 4, 3, answers(crc(bytes.fromhex("010610050002")))),
        "reading": (3, 10, 3, answers(crc(bytes.fromhex("0103020FA0")))),
        "silence_then_answer": (0, 1, 3, answers(b"", b"", crc(bytes.fromhex("0103020005")))),
    }
    for name, (op, arg, link, rest) in rtu.items():
        write("fuzz_answer_rtu", name, bytes([op, arg, link]) + rest)
    ascii_ = {
        "read": (0, 1, 3, answers(lrc_frame("01030204D2"))),
        "read_exception": (0, 1, 3, answers(lrc_frame("018302"))),
        "write_echo": (1, 1, 3, answers(lrc_frame("010600041234"))),
        "packed": (2, 3, 3, answers(lrc_frame("0103080011002200330044"))),
        "mod": (3, 0, 3, answers(lrc_frame("0103020002"))),
        "sta": (3, 1, 3, answers(lrc_frame("010302004B"))),
        "reading": (3, 10, 3, answers(lrc_frame("0103020FA0"))),
    }
    for name, (op, arg, link, rest) in ascii_.items():
        write("fuzz_answer_ascii", name, bytes([op, arg, link]) + rest)
    native = {
        # Group already selected (byte 2 = 3: station 1, CR, group 0).
        "read": (0, 1, 3, answers(native_data("01", 0x04D2, 2))),
        "read_select_group": (0, 20, 0x83, answers(native_ack("01"), native_data("01", 1, 0),
                                                  native_data("01", 0x0032, 1))),
        "read_nak": (0, 1, 3, answers(native_nak("01", "B"))),
        "write_ack": (1, 1, 3, answers(native_ack("01"))),
        "write_nak": (1, 1, 3, answers(native_nak("01", "C"))),
        "mod": (3, 0, 3, answers(native_data("01", 1, 0))),
        "sta": (3, 1, 3, answers(native_data("01", 0x4B, 0))),
        "fwd": (3, 4, 3, answers(native_ack("01"))),
        "reading": (3, 10, 3, answers(native_data("01", 0x0FA0, 2))),
    }
    for name, (op, arg, link, rest) in native.items():
        write("fuzz_answer_native", name, bytes([op, arg, link]) + rest)


def slave_seeds() -> None:
    # Byte 0: station (1 + bit 0) and line end; then the line's bytes in pieces.
    rtu = [crc(bytes.fromhex("010300070001")), crc(bytes.fromhex("010600070050")),
           crc(bytes.fromhex("010310000001")), crc(bytes.fromhex("010390100004")),
           crc(bytes.fromhex("011000070001")), crc(bytes.fromhex("020300070001"))]
    write("fuzz_slave_rtu", "requests", bytes([0]) + answers(*rtu))
    write("fuzz_slave_rtu", "split", bytes([0]) + answers(rtu[0][:3], rtu[0][3:] + rtu[1]))
    asc = [lrc_frame("010300070001"), lrc_frame("010600070050"), lrc_frame("010310000001"),
           lrc_frame("0103D0200002")]
    write("fuzz_slave_ascii", "requests", bytes([4]) + answers(*asc))
    write("fuzz_slave_ascii", "split", bytes([4]) + answers(asc[0][:5], asc[0][5:]))
    nat = [native_request("01", 0xFF, 1), native_request("01", 0x7F), native_request("01", 0x07),
           native_request("01", 0x87, 0x0050), native_request("01", 0x7B),
           native_request("01", 0xF5, 2), native_request("01", 0x07)[:-3] + b"00\r"]
    write("fuzz_slave_native", "requests", bytes([2]) + answers(*nat))


def file_seeds() -> None:
    fnc = (DATA / "InvType" / "FNC.txt").read_bytes()
    lines = fnc.splitlines(keepends=True)
    for protocol in b"012":
        picked = [l for l in lines if l[:1] == bytes([protocol])][:12]
        write("fuzz_functionrecord", "fnc_%c" % protocol, b"".join(picked))
    write("fuzz_functionrecord", "odd_lines", b"1-M-0-R-03-10-00-00-01\n1-M0\n2-M0R\n-\n0-\n1-A-B-C-1FF\n")
    type_info = (DATA / "InvType" / "typeInfo.txt").read_bytes()
    write("fuzz_typeinfo", "typeinfo_head", b"".join(type_info.splitlines(keepends=True)[:25]))
    inv_type = (DATA / "InvType" / "InvType.mgr").read_bytes()
    write("fuzz_invtype", "invtype_head", b"".join(inv_type.splitlines(keepends=True)[:20]))
    write("fuzz_invtype", "small", b"[inv_Type]\nTYPE=AA,BB\n\n[PW_ID]\nPOWER=0.4K,0.75K\n"
          b"POWER_OLD=0.4K\n[BB]\nPOWER=1.5K,2.2K\n[AA]\r\n  POWER=,1K,,\n")
    write("fuzz_typeinfo", "short_rows", b"readWrite_99999//1\nreadWrite_H//0//1,2\n//\n\r\n")
    for name, text in {"rtu": b"1-ttyUSB0-1-1-0-2-0\n", "native": b"0-COM3-1-1-0-0-1\n",
                       "two_lines": b"2-COM1-3-0-1-1-2\n\n1-ttyS1-0\n", "short": b"1\n",
                       "junk": b"x-y-z-9-9-9-9-9\n"}.items():
        write("fuzz_iniprotocol", name, text)
    for name, text in {"stations": b"0,ZN-020-5.5K\n1,ZM-043-7.5K\n254,ZD-043-0.75K\n",
                       "odd": b"255,X\n-1,Y\n3,a,b\n7, ZP-043-22K \n7\n\xff\xfe,\n"}.items():
        write("fuzz_stationfile", name, text)
    catalogue = (DATA / "InvParameter" / "F_InvParameter_Eng.xml").read_bytes()
    cut = catalogue.find(b"<Pr12>")
    head = catalogue[:cut] if cut > 0 else catalogue[:3000]
    write("fuzz_catalogueseed", "catalogue_head", head)
    write("fuzz_catalogueseed", "versions",
          b"<r><Pr7><Unit>0.01s/0.1s</Unit><Range>0.1-0.5\\0~360s/0~3600s,9999</Range>"
          b"<Default>---</Default></Pr7><Pr1599><Unit>1</Unit><Range>0,1</Range>"
          b"<Default>1</Default></Pr1599></r>")
    catalogue_seeds()
    hidden_parameter_seeds()
    xbel_seeds()
    xls_seeds()


def parameter_blocks(xml: bytes, count: int, wanted=lambda block: True) -> bytes:
    """The first `count` parameter elements (Pr<n>...</Pr<n>) that `wanted` takes."""
    blocks = [m.group(0) for m in re.finditer(rb"  <Pr(\w+)>.*?</Pr\1>\n", xml, re.S)]
    return b"".join([b for b in blocks if wanted(b)][:count])


def catalogue_flags(drive: int, computed: bool, multi: bool, version: int) -> bytes:
    # fuzz_catalogue's byte 0: drive (low nibble), computed defaults, multi-value,
    # catalogue version (top two bits: 0, 0.10, 0.40, 1.10).
    return bytes([drive | (0x10 if computed else 0) | (0x20 if multi else 0) | version << 6])


def catalogue_seeds() -> None:
    def shipped(letter):
        return (DATA / "InvParameter" / ("%s_InvParameter_Eng.xml" % letter)).read_bytes()

    def document(head: bytes, blocks: bytes) -> bytes:
        return head[:head.find(b"  <Pr")] + blocks + b"</InvParameter>\n"

    f = shipped("F")
    write("fuzz_catalogue", "F_head", catalogue_flags(5, True, True, 2) +
          document(f, parameter_blocks(f, 12)))
    a = shipped("A")
    a_blocks = parameter_blocks(a, 6) + parameter_blocks(a, 1, lambda b: b"<Pr99X>" in b)
    write("fuzz_catalogue", "A_groups_and_function_row", catalogue_flags(10, True, False, 1) +
          document(a, a_blocks))
    g = shipped("G")
    write("fuzz_catalogue", "G_versions", catalogue_flags(11, True, True, 2) +
          document(g, parameter_blocks(g, 10, lambda b: b"\\" in b)))
    h = shipped("H")
    write("fuzz_catalogue", "H_cut_off", catalogue_flags(0, False, False, 1) + h[:1500])
    write("fuzz_catalogue", "flat_versions", catalogue_flags(5, False, False, 2) +
          b"<Catalogue><Name11>Eleven</Name11><Unit11>0.1 Hz</Unit11>"
          b"<Name12>0.40-0.99\\Name A</Name12><Name12>0.10-0.39\\Name B</Name12>"
          b"<Range12>0.33-0.33\\ 0~10</Range12><Default12></Default12><Default12>5</Default12>"
          b"<Name14>bad\\interval</Name14><Name15> Fifteen</Name15></Catalogue>")


def hidden_parameter_seeds() -> None:
    # fuzz_hiddenparams's byte 0: the catalogue version (0, 0.10, 0.20, 0.33,
    # 0.40, 0.60, 1.00, 1.10 by its low three bits).
    folder = DATA / "hideparameter"
    write("fuzz_hiddenparams", "ZM", bytes([4]) + (folder / "ZMHideParameter.xml").read_bytes())
    write("fuzz_hiddenparams", "ZP2_versions",
          bytes([5]) + (folder / "ZP2HideParameter.xml").read_bytes())
    write("fuzz_hiddenparams", "broken", bytes([4]) +
          b"<H><Pr5><DefaultValue>1</DefaultValue><Unit>0.1</Unit></Pr5>"
          b"<Pr300><DefaultValue>0.10-0.50\\5</DefaultValue><Unit>0.1</Unit></Pr300>"
          b"<Pr6><Default")


def xbel(identity: str, entries) -> bytes:
    """An XML parameter file as we write it, from (number, value) pairs."""
    xml = ('<?xml version="1.0" encoding="UTF-8"?>\n<!DOCTYPE InvParameter>\n'
           '<%s version="1.0">\n' % identity)
    for number, value in entries:
        xml += ("    <Pr{0}>\n        <DefaultValue{0}>d</DefaultValue{0}>\n"
                "        <CurrentValue{0}>{1}</CurrentValue{0}>\n    </Pr{0}>\n").format(number, value)
    return (xml + "</%s>\n" % identity).encode()


def xbel_seeds() -> None:
    # fuzz_xbel's byte 0: bit 0 set accepts every root, else only the identity below.
    identity = "InvParameter-ZM-043-7.5K"
    good = xbel(identity, [("0", "1"), ("7", "5.5"), ("12", "&lt;x&amp;y&gt;"), ("99X", "0"),
                           ("1599", "")])
    write("fuzz_xbel", "good", bytes([0]) + good)
    write("fuzz_xbel", "other_root", bytes([1]) + xbel("InvParameter-ZM-043-185K200K-K",
                                                        [("186", "1"), ("188", "0.33")]))
    write("fuzz_xbel", "fillers", bytes([0]) +
          b"<?xml version='1.0'?><!-- saved --><?pi x?>\n<" + identity.encode() + b">"
          b"<Pr5><!-- c --><CurrentValue5>1<!-- c -->2</CurrentValue5></Pr5></" +
          identity.encode() + b"><!-- end -->\n")
    write("fuzz_xbel", "cut_off", bytes([0]) + good[:len(good) // 2])


def xls_seeds() -> None:
    # fuzz_xls's byte 0: bit 0 the group layout, bit 1 any identity. The
    # workbooks our own writer makes come from make_xls_seeds.
    write("fuzz_xls", "foreign_xlwt", bytes([0]) + (TEST_DATA / "foreign_xlwt.xls").read_bytes())
    write("fuzz_xls", "foreign_calc", bytes([2]) + (TEST_DATA / "foreign_calc.xls").read_bytes())


if __name__ == "__main__":
    os.chdir(HERE)
    driver_seeds()
    slave_seeds()
    file_seeds()
