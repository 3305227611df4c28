"""Tests of check_win9x_pe.py on small PE images built here byte by byte."""

import io
import os
import shutil
import struct
import subprocess
import tempfile
import unittest

import check_win9x_pe as checker

LIST_PATH = os.path.join(os.path.dirname(os.path.abspath(__file__)),
                         "missing_on_windows98.txt")
WIN95_LIST_PATH = os.path.join(os.path.dirname(os.path.abspath(__file__)),
                               "missing_on_windows95.txt")
SECTION_RVA = 0x1000
SECTION_OFFSET = 0x200


def make_pe(imports, pe32=True, machine=0x14C, subsystem_version=(4, 0),
            os_version=(4, 0), delay_imports=False):
    """A PE image whose one section holds the import table of `imports`:
    {dll: [name or ordinal number, ...]}."""
    thunk_format, ordinal_flag = ("<I", 1 << 31) if pe32 else ("<Q", 1 << 63)
    thunk_size = struct.calcsize(thunk_format)

    # Section layout: descriptors, then lookup tables, then names.
    descriptors_size = 20 * (len(imports) + 1)
    tables_size = sum(thunk_size * (len(names) + 1) for names in imports.values())
    strings = bytearray()
    names_base = SECTION_RVA + descriptors_size + tables_size

    def add_string(data):
        rva = names_base + len(strings)
        strings.extend(data + b"\0")
        if len(strings) % 2:
            strings.append(0)
        return rva

    descriptors = bytearray()
    tables = bytearray()
    for dll, names in imports.items():
        table_rva = SECTION_RVA + descriptors_size + len(tables)
        for name in names:
            if isinstance(name, int):
                tables += struct.pack(thunk_format, ordinal_flag | name)
            else:
                tables += struct.pack(thunk_format, add_string(b"\0\0" + name.encode()))
        tables += struct.pack(thunk_format, 0)
        descriptors += struct.pack("<IIIII", table_rva, 0, 0, add_string(dll.encode()),
                                   table_rva)
    descriptors += bytes(20)
    section = bytes(descriptors + tables + strings)

    directories = [(0, 0)] * 16
    directories[1] = (SECTION_RVA, len(descriptors))
    if delay_imports:
        directories[13] = (SECTION_RVA, 32)
    if pe32:
        fields = struct.pack("<HBBIIIIIIIIIHHHHHHIIIIHHIIIIII", 0x10B, 2, 40, 0, 0, 0,
                             0, 0, 0, 0x400000, 0x1000, 0x200, os_version[0],
                             os_version[1], 0, 0, subsystem_version[0],
                             subsystem_version[1], 0, 0x2000, 0x200, 0, 2, 0,
                             0, 0, 0, 0, 0, 16)
    else:
        fields = struct.pack("<HBBIIIIIQIIHHHHHHIIIIHHQQQQII", 0x20B, 2, 40, 0, 0, 0,
                             0, 0, 0x400000, 0x1000, 0x200, os_version[0],
                             os_version[1], 0, 0, subsystem_version[0],
                             subsystem_version[1], 0, 0x2000, 0x200, 0, 2, 0,
                             0, 0, 0, 0, 0, 16)
    optional = fields + b"".join(struct.pack("<II", *d) for d in directories)

    headers = bytearray(b"MZ" + bytes(0x3A) + struct.pack("<I", 0x40))
    headers += b"PE\0\0" + struct.pack("<HHIIIHH", machine, 1, 0, 0, 0, len(optional), 0x102)
    headers += optional
    headers += struct.pack("<8sIIIIIIHHI", b".idata", len(section), SECTION_RVA,
                           len(section), SECTION_OFFSET, 0, 0, 0, 0, 0xC0000040)
    assert len(headers) <= SECTION_OFFSET
    return bytes(headers) + bytes(SECTION_OFFSET - len(headers)) + section


GOOD_IMPORTS = {
    "KERNEL32.dll": ["CloseHandle", "CreateSemaphoreA", "GetModuleHandleA"],
    "msvcrt.dll": ["malloc", "_filelengthi64"],
    "USER32.dll": ["DialogBoxParamA", "MessageBoxA"],
}


def problems_of(data, entries=None):
    if entries is None:
        entries = checker.load_list(LIST_PATH)
    return checker.find_problems(checker.read_pe(data), entries)


class ReadPeTest(unittest.TestCase):
    def test_reads_headers_and_imports_of_both_formats(self):
        for pe32 in (True, False):
            with self.subTest(pe32=pe32):
                image = checker.read_pe(make_pe({"KERNEL32.dll": ["Sleep", 17]},
                                                pe32=pe32, os_version=(4, 10),
                                                subsystem_version=(5, 1)))
                self.assertEqual(image.magic, 0x10B if pe32 else 0x20B)
                self.assertEqual(image.os_version, (4, 10))
                self.assertEqual(image.subsystem_version, (5, 1))
                self.assertEqual(image.imports, {"KERNEL32.dll": ["Sleep", "#17"]})

    def test_rejects_damaged_files(self):
        good = make_pe(GOOD_IMPORTS)
        cases = {
            "not an executable": b"hello",
            "no PE signature": good[:0x40] + b"XX\0\0" + good[0x44:],
            "cut inside the imports": good[:SECTION_OFFSET + 30],
        }
        for label, data in cases.items():
            with self.subTest(label):
                with self.assertRaises(checker.PeError):
                    checker.read_pe(data)


class FindProblemsTest(unittest.TestCase):
    def test_an_image_for_windows_98_has_no_problems(self):
        self.assertEqual(problems_of(make_pe(GOOD_IMPORTS)), [])

    def test_each_fault_gives_one_problem_naming_it(self):
        cases = [
            ("64-bit image", make_pe(GOOD_IMPORTS, pe32=False), "not a 32-bit x86 image"),
            ("other machine", make_pe(GOOD_IMPORTS, machine=0x1C0), "machine 0x1c0"),
            ("subsystem 5.0", make_pe(GOOD_IMPORTS, subsystem_version=(5, 0)),
             "subsystem version 5.0"),
            ("OS 5.1", make_pe(GOOD_IMPORTS, os_version=(5, 1)), "OS version 5.1"),
            ("delay imports", make_pe(GOOD_IMPORTS, delay_imports=True), "delay-load"),
            ("DLL not allowed", make_pe({"SHELL32.dll": ["ShellExecuteA"]}),
             "SHELL32.dll is not one of the allowed DLLs"),
            ("missing export", make_pe({"KERNEL32.dll": ["SetFilePointerEx"]}),
             "KERNEL32.dll SetFilePointerEx: Windows 98 does not export it"),
            ("unsupported", make_pe({"kernel32.DLL": ["TryEnterCriticalSection"]}),
             "TryEnterCriticalSection: documented as unsupported"),
            ("listed stub", make_pe({"KERNEL32.dll": ["CreateSemaphoreW"]}),
             "CreateSemaphoreW: its Unicode version works on Windows NT only"),
            ("unlisted W function", make_pe({"USER32.dll": ["MessageBoxW"]}),
             "USER32.dll MessageBoxW: a Unicode function"),
            ("newer msvcrt", make_pe({"msvcrt.dll": ["_vscprintf"]}),
             "msvcrt.dll _vscprintf: Windows 98 does not export it"),
            ("by ordinal", make_pe({"COMCTL32.dll": [17]}), "#17: imported by ordinal"),
        ]
        for label, data, expected in cases:
            with self.subTest(label):
                problems = problems_of(data)
                self.assertEqual(len(problems), 1, problems)
                self.assertIn(expected, problems[0])

    def test_names_ending_in_w_that_are_not_unicode_twins_pass(self):
        data = make_pe({"USER32.dll": ["ResolveDesktopForWOW"], "msvcrt.dll": ["_wfopen"],
                        "DINPUT.dll": ["DirectInputCreateW"]})
        self.assertEqual(problems_of(data), [])

    def test_a_star_entry_marks_every_function_of_its_dll(self):
        entries = checker.load_list(WIN95_LIST_PATH)
        image = checker.read_pe(make_pe({"msvcrt.dll": ["malloc"], "KERNEL32.dll": ["Sleep"]}))
        problems = checker.find_problems(image, entries, "Windows 95")
        self.assertEqual(len(problems), 1, problems)
        self.assertIn("msvcrt.dll malloc: Windows 95 does not export it", problems[0])

    def test_a_works_entry_exempts_a_unicode_function(self):
        entries = {("USER32.DLL", "MessageBoxW"):
                   checker.ListEntry("USER32.DLL", "MessageBoxW", "works", "a source", 1)}
        self.assertEqual(problems_of(make_pe({"USER32.dll": ["MessageBoxW"]}), entries), [])


class ListTest(unittest.TestCase):
    def test_shipped_lists_give_every_entry_a_source(self):
        for path, least in ((LIST_PATH, 100), (WIN95_LIST_PATH, 4)):
            entries = checker.load_list(path)
            self.assertGreater(len(entries), least, path)
            for entry in entries.values():
                self.assertIn(entry.dll, checker.ALLOWED_DLLS, entry)
                self.assertTrue(entry.source.startswith(("[", "GitHub ")), entry)

    def test_rejects_malformed_lines(self):
        cases = {
            "no source": "KERNEL32 SwitchToThread unsupported\n",
            "unknown kind": "KERNEL32 SwitchToThread gone some source\n",
            "listed twice": "KERNEL32 A absent s\nkernel32.dll A absent s\n",
        }
        for label, text in cases.items():
            with self.subTest(label):
                with tempfile.NamedTemporaryFile("w", suffix=".txt", delete=False) as f:
                    f.write("# comment\n\n" + text)
                try:
                    with self.assertRaises(ValueError):
                        checker.load_list(f.name)
                finally:
                    os.unlink(f.name)


# A listing as objdump -d -C -M intel --no-show-raw-insn -w prints it.
PENTIUM_LISTING = """
Disassembly of section .text:

00401000 <mainCRTStartup>:
  401000:\tpush   ebp
  401001:\tlock cmpxchg8b QWORD PTR [esi]
  401005:\trep stos DWORD PTR es:[edi],eax
  401007:\trepz cmps BYTE PTR ds:[esi],BYTE PTR es:[edi]
  401008:\tmovs   DWORD PTR es:[edi],DWORD PTR ds:[esi]
  401009:\tcall   401000 <copy_mm1>
  40100a:\txchg   ax,ax
  40100b:\tlea    esi,[esi+eiz*1+0x0]
  40100f:\tjne,pt 401000 <mainCRTStartup>
  401012:\tfnstsw ax
  401014:\tfucompp
  401016:\tcpuid
  401018:\trdtsc
  40101a:\tnop
\t...

0040101c <__CTOR_LIST__>:
  40101c:\t(bad)

00401020 <.ctors>:
  401020:\tcmovne eax,DWORD PTR [eax]

00401024 <.gcc_except_table>:
  401024:\tcmovne eax,DWORD PTR [eax]

00401028 <__DTOR_LIST__>:
  401028:\t(bad)

0040102c <.dtors.65535>:
  40102c:\tcmovne eax,DWORD PTR [eax]
"""


class InstructionsTest(unittest.TestCase):
    def test_pentium_code_and_data_in_code_pass(self):
        self.assertEqual(checker.foreign_instructions(PENTIUM_LISTING), [])

    def test_names_each_foreign_instruction_with_its_address_and_symbol(self):
        cases = [
            ("cmovne eax,ecx", "Pentium Pro conditional move"),
            ("fucomip st,st(1)", "Pentium Pro compare"),
            ("fcomi  st,st(2)", "Pentium Pro compare"),
            ("fcmovb st,st(1)", "Pentium Pro conditional move"),
            ("nop    DWORD PTR [eax+0x0]", "multi-byte nop"),
            ("cs nop WORD PTR [eax+eax*1+0x0]", "multi-byte nop"),
            ("ud2", "Pentium Pro"),
            ("emms", "MMX"),
            ("pxor   mm0,mm0", "MMX"),
            ("movaps xmm0,XMMWORD PTR [eax]", "SSE"),
            ("movsd  xmm0,QWORD PTR [eax]", "SSE2 under a string instruction's name"),
            ("tzcnt  eax,ecx", "BMI1"),
            ("sysenter", "Pentium II"),
            ("endbr32", "CET"),
            ("(bad)", "undecodable"),
        ]
        for text, label in cases:
            with self.subTest(label, text=text):
                listing = PENTIUM_LISTING.replace(
                    "  40101a:\tnop\n", "  40101a:\t%s\n" % text)
                found = checker.foreign_instructions(listing)
                self.assertEqual(len(found), 1, found)
                self.assertEqual((found[0].address, found[0].symbol, found[0].text),
                                 (0x40101a, "mainCRTStartup", text))
                problem, = checker.instruction_problems(found)
                self.assertTrue(problem.startswith("0x0040101a in mainCRTStartup+0x1a: "),
                                problem)

    def test_catches_a_cmov_planted_in_an_executable(self):
        tools = ["i686-w64-mingw32-as", "i686-w64-mingw32-ld", "i686-w64-mingw32-objdump"]
        if not all(shutil.which(tool) for tool in tools):
            self.skipTest("binutils-mingw-w64-i686 is not installed")
        source = """
            .text
            .globl _start
        _start:
            xor %eax, %eax
            ret
            .globl _pick
        _pick:
            cmp %ecx, %edx
            {cmov}
            ret
        """
        with tempfile.TemporaryDirectory() as directory:
            def build(name, cmov):
                assembly = os.path.join(directory, name + ".s")
                with open(assembly, "w") as f:
                    f.write(source.replace("{cmov}", cmov))
                subprocess.run([tools[0], "-o", assembly + ".o", assembly], check=True)
                exe = os.path.join(directory, name + ".EXE")
                subprocess.run([tools[1], "--subsystem", "console:4.0", "--major-os-version",
                                "4", "--minor-os-version", "0", "-e", "_start", "-o", exe,
                                assembly + ".o"], check=True)
                return exe

            clean = build("CLEAN", "mov %ecx, %eax")
            planted = build("PLANTED", "cmovne %ecx, %eax")
            out = io.StringIO()
            status = checker.main(["--list", LIST_PATH, "--instructions", clean, planted],
                                  out=out)
            lines = out.getvalue().splitlines()
            self.assertEqual(status, 1, lines)
            self.assertIn("CLEAN.EXE: no problems", "\n".join(lines))
            problems = [line for line in lines if ": problem: " in line]
            # _pick lies after _start's three bytes at the start of .text.
            self.assertEqual(problems, [
                "PLANTED.EXE: problem: 0x00401005 in pick+0x2: 'cmovne eax,ecx' is not an "
                "instruction of the original Pentium"])


class MainTest(unittest.TestCase):
    def run_main(self, *args):
        out = io.StringIO()
        status = checker.main(["--list", LIST_PATH, *args], out=out)
        return status, out.getvalue().splitlines()

    def test_reports_problems_one_a_line_and_fails(self):
        with tempfile.TemporaryDirectory() as directory:
            good = os.path.join(directory, "GOOD.EXE")
            bad = os.path.join(directory, "BAD.EXE")
            with open(good, "wb") as f:
                f.write(make_pe(GOOD_IMPORTS))
            with open(bad, "wb") as f:
                f.write(make_pe({"KERNEL32.dll": ["GetModuleHandleW", "GetTickCount64"]}))

            status, lines = self.run_main(good)
            self.assertEqual(status, 0)
            self.assertIn("GOOD.EXE: no problems", lines[-1])

            status, lines = self.run_main(good, bad)
            self.assertEqual(status, 1)
            problems = [line for line in lines if ": problem: " in line]
            self.assertEqual(len(problems), 2, lines)
            self.assertTrue(all(line.startswith("BAD.EXE: ") for line in problems))
            self.assertIn("BAD.EXE: 2 problems", lines[-1])

    def test_missing_executable_skips_unless_required(self):
        with tempfile.TemporaryDirectory() as directory:
            missing = os.path.join(directory, "NONE.EXE")
            self.assertEqual(self.run_main(missing)[0], checker.SKIPPED)
            status, lines = self.run_main("--require", missing)
            self.assertEqual(status, 1)
            self.assertIn("NONE.EXE: problem: cannot read", lines[0])


if __name__ == "__main__":
    unittest.main()
