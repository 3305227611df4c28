#!/usr/bin/env python3
"""Checks that 32-bit Windows executables can load and run on Windows 98 (or 95).

Reads each executable's PE headers and import table and reports, one line
each, every reason Windows 98 would refuse to start it or would fail a call
it makes: a 64-bit image, a subsystem or OS version above 4.0, a DLL that is
not one of the system DLLs the product may use, a function listed as missing
on Windows 98 (see missing_on_windows98.txt; with --list
missing_on_windows95.txt, on Windows 95), and a Unicode ("W") function of
the system DLLs that the list does not name as working there.

With --instructions it also disassembles the code sections (with binutils'
objdump) and reports, with its address and the nearest symbol, every
instruction that the original Pentium lacks: many Windows 98 machines have
one (or a K5, K6, 6x86), and such an instruction stops the program there
with an invalid-opcode fault.

Exit status: 0 no problems, 1 problems, 2 bad arguments or list,
77 an executable is missing and --require was not given (CTest: skipped).
"""

import argparse
import os
import re
import shutil
import struct
import subprocess
import sys
from dataclasses import dataclass, field

SKIPPED = 77

# The system DLLs the product links against: Windows 98 ships them all.
ALLOWED_DLLS = frozenset(
    dll + ".DLL"
    for dll in ("KERNEL32", "USER32", "GDI32", "ADVAPI32", "WINMM", "DINPUT",
                "COMCTL32", "MSVCRT"))

# DLLs whose Unicode entry points Windows 98 mostly exports as stubs that
# fail with ERROR_CALL_NOT_IMPLEMENTED (the reason the Microsoft Layer for
# Unicode exists). MSVCRT's wide functions are its own code, and DINPUT's
# are COM interfaces, so the name rule does not apply to them.
WIDE_STUB_DLLS = frozenset(
    dll + ".DLL"
    for dll in ("KERNEL32", "USER32", "GDI32", "ADVAPI32", "WINMM", "COMCTL32"))

MACHINE_I386 = 0x14C
MAGIC_PE32 = 0x10B
MAGIC_PE32_PLUS = 0x20B
IMPORT_DIRECTORY = 1
DELAY_IMPORT_DIRECTORY = 13

KIND_MESSAGES = {
    "absent": "%s does not export it, so Windows refuses to start "
              "the program",
    "unsupported": "documented as unsupported on Windows 95/98",
    "nt-only": "its Unicode version works on Windows NT only; on Windows 98 "
               "the call fails",
}
KIND_WORKS = "works"
KINDS = frozenset(KIND_MESSAGES) | {KIND_WORKS}


class PeError(Exception):
    """The file is not a PE image this check can read."""


# Every instruction of the original Pentium (8086 to Pentium, with the x87),
# as objdump names them in Intel syntax. Left out on purpose, as the Pentium
# Pro or later brought them: cmov*, fcmov*, f(u)comi(p), the multi-byte nop
# (0F 1F), ud2, sysenter, rdpmc, and every MMX, SSE, AVX or 3DNow! form.
PENTIUM_MNEMONICS = frozenset("""
    aaa aad aam aas adc add and arpl bound bsf bsr bswap bt btc btr bts call
    cbw cdq clc cld cli clts cmc cmp cmps cmpsb cmpsd cmpsw cmpxchg cmpxchg8b
    cpuid cwd cwde daa das dec div enter hlt idiv imul in inc ins insb insd
    insw int int3 into invd invlpg iret iretd iretw ja jae jb jbe jcxz je
    jecxz jg jge jl jle jmp jne jno jnp jns jo jp js lahf lar lds lea leave
    les lfs lgdt lgs lidt lldt lmsw lods lodsb lodsd lodsw loop loope loopne
    lsl lss ltr mov movs movsb movsd movsw movsx movzx mul neg nop not or out
    outs outsb outsd outsw pop popa popad popaw popf popfd popfw push pusha
    pushad pushaw pushf pushfd pushfw rcl rcr rdmsr rdtsc ret retf rol ror rsm
    sahf sal sar sbb scas scasb scasd scasw seta setae setb setbe sete setg
    setge setl setle setne setno setnp setns seto setp sets sgdt shl shld shr
    shrd sidt sldt smsw stc std sti stos stosb stosd stosw str sub test verr
    verw wait wbinvd wrmsr xadd xchg xlat xor
    f2xm1 fabs fadd faddp fbld fbstp fchs fclex fcom fcomp fcompp fcos
    fdecstp fdiv fdivp fdivr fdivrp ffree fiadd ficom ficomp fidiv fidivr fild
    fimul fincstp finit fist fistp fisub fisubr fld fld1 fldcw fldenv fldl2e
    fldl2t fldlg2 fldln2 fldpi fldz fmul fmulp fnclex fninit fnop fnsave
    fnstcw fnstenv fnstsw fpatan fprem fprem1 fptan frndint frstor fsave
    fscale fsin fsincos fsqrt fst fstcw fstenv fstp fstsw fsub fsubp fsubr
    fsubrp ftst fucom fucomp fucompp fwait fxam fxch fxtract fyl2x fyl2xp1
""".split())

# Prefixes objdump prints in front of the instruction they belong to.
PREFIXES = frozenset(
    "lock rep repe repz repne repnz data16 data32 addr16 addr32 cs ds es fs gs ss".split())

# The linker puts the constructor and destructor lists and the exception
# tables in .text; they are data, whatever their bytes would decode to.
# The import library of DirectInput keeps its data formats' object tables in
# the code section; they are read, never run.
DATA_IN_CODE = re.compile(r"^(_*[CD]TOR_LIST__|\.[cd]tors(\..*)?|\.gcc_except_table|c_rgodfDI\w+)$")

# SSE2 reuses the names movsd and cmpsd (objdump calls the string forms movs
# and cmps); an MMX or SSE register gives such an instruction away.
_VECTOR_REGISTER = re.compile(r"\b[xyz]?mm\d+\b")
_SYMBOL_LINE = re.compile(r"^([0-9a-f]+) <(.*)>:$")
_INSTRUCTION_LINE = re.compile(r"^\s*([0-9a-f]+):\t(.*)$")


@dataclass
class Instruction:
    address: int
    symbol: str
    symbol_address: int
    text: str


def _mnemonic(text):
    words = text.split()
    while words and words[0] in PREFIXES:
        words = words[1:]
    if not words:
        return "", ""
    # A branch hint prints as "jne,pt".
    return words[0].split(",")[0], " ".join(words[1:])


def foreign_instructions(disassembly):
    """The instructions of an objdump -d -M intel --no-show-raw-insn listing
    that the Pentium lacks, each with the symbol it follows."""
    found = []
    symbol, symbol_address, in_data = "?", 0, False
    for line in disassembly.splitlines():
        header = _SYMBOL_LINE.match(line)
        if header:
            symbol_address, symbol = int(header.group(1), 16), header.group(2)
            in_data = DATA_IN_CODE.match(symbol) is not None
            continue
        match = _INSTRUCTION_LINE.match(line)
        if not match or in_data:
            continue
        text = match.group(2).strip()
        mnemonic, operands = _mnemonic(text)
        registers = re.sub(r"<[^>]*>", "", operands)
        # A nop with an operand is the multi-byte 0F 1F form.
        if (mnemonic in PENTIUM_MNEMONICS and not (mnemonic == "nop" and operands)
                and not _VECTOR_REGISTER.search(registers)):
            continue
        found.append(Instruction(int(match.group(1), 16), symbol, symbol_address, text))
    return found


def disassemble(path, objdump):
    """objdump's listing of the code sections of one executable."""
    result = subprocess.run(
        [objdump, "-d", "-C", "-M", "intel", "--no-show-raw-insn", "-w", path],
        stdout=subprocess.PIPE, stderr=subprocess.PIPE, universal_newlines=True, check=False)
    if result.returncode != 0:
        raise PeError("%s failed: %s" % (objdump, result.stderr.strip()))
    return result.stdout


def instruction_problems(instructions):
    problems = []
    for instruction in instructions:
        where = instruction.symbol
        if instruction.address != instruction.symbol_address:
            where += "+0x%x" % (instruction.address - instruction.symbol_address)
        text = instruction.text
        if text == "(bad)":
            problems.append("0x%08x in %s: bytes that decode to no instruction"
                            % (instruction.address, where))
        else:
            problems.append("0x%08x in %s: '%s' is not an instruction of the original "
                            "Pentium" % (instruction.address, where, text))
    return problems


@dataclass
class PeImage:
    machine: int = 0
    magic: int = 0
    os_version: tuple = (0, 0)
    subsystem_version: tuple = (0, 0)
    subsystem: int = 0
    # DLL name as stored -> imported names; "#N" stands for ordinal N.
    imports: dict = field(default_factory=dict)
    has_delay_imports: bool = False


@dataclass
class ListEntry:
    dll: str
    function: str
    kind: str
    source: str
    line: int


def normalize_dll(name):
    name = name.upper()
    return name if name.endswith(".DLL") else name + ".DLL"


class _Reader:
    def __init__(self, data):
        self.data = data
        self.sections = []

    def unpack(self, fmt, offset):
        size = struct.calcsize(fmt)
        if offset < 0 or offset + size > len(self.data):
            raise PeError("truncated at offset 0x%x" % offset)
        return struct.unpack_from(fmt, self.data, offset)

    def offset_of(self, rva):
        for virtual_address, virtual_size, raw_size, raw_offset in self.sections:
            if virtual_address <= rva < virtual_address + max(virtual_size, raw_size):
                delta = rva - virtual_address
                if delta >= raw_size:
                    raise PeError("RVA 0x%x lies in uninitialised data" % rva)
                return raw_offset + delta
        raise PeError("RVA 0x%x is outside every section" % rva)

    def string_at(self, rva):
        start = self.offset_of(rva)
        end = self.data.find(b"\0", start)
        if end < 0:
            raise PeError("unterminated name at RVA 0x%x" % rva)
        return self.data[start:end].decode("latin-1")


def read_pe(data):
    """Parses the headers and the import table of a PE image."""
    reader = _Reader(data)
    image = PeImage()
    if reader.unpack("<2s", 0)[0] != b"MZ":
        raise PeError("no MZ header")
    pe_offset = reader.unpack("<I", 0x3C)[0]
    if reader.unpack("<4s", pe_offset)[0] != b"PE\0\0":
        raise PeError("no PE signature")
    coff = pe_offset + 4
    image.machine, section_count = reader.unpack("<HH", coff)
    optional_size = reader.unpack("<H", coff + 16)[0]
    optional = coff + 20
    image.magic = reader.unpack("<H", optional)[0]
    if image.magic == MAGIC_PE32:
        directories_at, count_at = 96, 92
    elif image.magic == MAGIC_PE32_PLUS:
        directories_at, count_at = 112, 108
    else:
        raise PeError("unknown optional header magic 0x%x" % image.magic)
    image.os_version = reader.unpack("<HH", optional + 40)
    image.subsystem_version = reader.unpack("<HH", optional + 48)
    image.subsystem = reader.unpack("<H", optional + 68)[0]
    directory_count = reader.unpack("<I", optional + count_at)[0]
    directories = [
        reader.unpack("<II", optional + directories_at + 8 * i)
        for i in range(min(directory_count, 16))
    ]

    section_table = optional + optional_size
    for i in range(section_count):
        virtual_size, virtual_address, raw_size, raw_offset = reader.unpack(
            "<IIII", section_table + 40 * i + 8)
        reader.sections.append((virtual_address, virtual_size, raw_size, raw_offset))

    if len(directories) > DELAY_IMPORT_DIRECTORY:
        image.has_delay_imports = directories[DELAY_IMPORT_DIRECTORY][0] != 0
    if len(directories) > IMPORT_DIRECTORY and directories[IMPORT_DIRECTORY][0]:
        _read_imports(reader, directories[IMPORT_DIRECTORY][0], image)
    return image


def _read_imports(reader, table_rva, image):
    thunk_format, ordinal_flag = (
        ("<I", 1 << 31) if image.magic == MAGIC_PE32 else ("<Q", 1 << 63))
    thunk_size = struct.calcsize(thunk_format)
    descriptor = reader.offset_of(table_rva)
    while True:
        lookup_rva, _, _, name_rva, address_rva = reader.unpack("<IIIII", descriptor)
        if not (lookup_rva or name_rva or address_rva):
            return
        names = image.imports.setdefault(reader.string_at(name_rva), [])
        thunk = reader.offset_of(lookup_rva or address_rva)
        while True:
            value = reader.unpack(thunk_format, thunk)[0]
            if value == 0:
                break
            if value & ordinal_flag:
                names.append("#%d" % (value & 0xFFFF))
            else:
                names.append(reader.string_at((value & 0x7FFFFFFF) + 2))
            thunk += thunk_size
        descriptor += 20


def load_list(path):
    """Reads the list: 'DLL function kind source...' a line, '#' comments."""
    entries = {}
    with open(path, encoding="utf-8") as listing:
        for number, line in enumerate(listing, 1):
            text = line.strip()
            if not text or text.startswith("#"):
                continue
            fields = text.split(None, 3)
            if len(fields) < 4:
                raise ValueError("%s:%d: expected 'DLL function kind source'" % (path, number))
            dll, function, kind, source = fields
            if kind not in KINDS:
                raise ValueError("%s:%d: unknown kind '%s'" % (path, number, kind))
            key = (normalize_dll(dll), function)
            if key in entries:
                raise ValueError("%s:%d: %s %s is listed twice" % (path, number, dll, function))
            entries[key] = ListEntry(normalize_dll(dll), function, kind, source, number)
    return entries


def is_wide_name(name):
    # A Unicode twin ends in a capital W after a lower-case letter or digit
    # (CreateSemaphoreW); names such as ...ForWOW are not Unicode twins.
    return len(name) > 1 and name[-1] == "W" and not name[-2].isupper()


def find_problems(image, entries, windows="Windows 98"):
    """Returns one message per reason Windows 98 (or the Windows the list is
    for) would fail the image."""
    problems = []
    if image.magic != MAGIC_PE32 or image.machine != MACHINE_I386:
        problems.append("not a 32-bit x86 image (PE32+ or machine 0x%x): Windows 98 "
                        "runs PE32 images for i386 only" % image.machine)
    if image.subsystem_version != (4, 0):
        problems.append("subsystem version %d.%d, not 4.0" % image.subsystem_version)
    if image.os_version != (4, 0):
        problems.append("OS version %d.%d, not 4.0" % image.os_version)
    if image.has_delay_imports:
        problems.append("delay-load imports are present, and this check does not read them")
    for dll, names in sorted(image.imports.items()):
        key_dll = normalize_dll(dll)
        if key_dll not in ALLOWED_DLLS:
            problems.append("%s is not one of the allowed DLLs (%s)" % (
                dll, ", ".join(sorted(d[:-4] for d in ALLOWED_DLLS))))
        for name in names:
            if name.startswith("#"):
                problems.append("%s %s: imported by ordinal, which differs between "
                                "Windows versions" % (dll, name))
                continue
            entry = entries.get((key_dll, name)) or entries.get((key_dll, "*"))
            if entry and entry.kind != KIND_WORKS:
                message = KIND_MESSAGES[entry.kind]
                if "%s" in message:
                    message %= windows
                problems.append("%s %s: %s; source: %s" % (dll, name, message, entry.source))
            elif not entry and key_dll in WIDE_STUB_DLLS and is_wide_name(name):
                problems.append("%s %s: a Unicode function, which Windows 98 mostly "
                                "stubs; list it as 'works' with a source if it does not"
                                % (dll, name))
    return problems


def check_file(path, entries, show_imports, out, objdump=None, windows="Windows 98"):
    """Prints findings for one executable; returns its problem count. With
    objdump, its instructions are checked too."""
    label = os.path.basename(path)
    try:
        with open(path, "rb") as executable:
            image = read_pe(executable.read())
        instructions = foreign_instructions(disassemble(path, objdump)) if objdump else []
    except (OSError, PeError) as error:
        print("%s: problem: cannot read: %s" % (label, error), file=out)
        return 1
    import_count = sum(len(names) for names in image.imports.values())
    print("%s: %s machine 0x%x, subsystem %d version %d.%d, OS version %d.%d" % (
        label, "PE32" if image.magic == MAGIC_PE32 else "PE32+", image.machine,
        image.subsystem, *image.subsystem_version, *image.os_version), file=out)
    if show_imports:
        for dll, names in sorted(image.imports.items()):
            for name in names:
                print("%s: import %s %s" % (label, dll, name), file=out)
    problems = find_problems(image, entries, windows) + instruction_problems(instructions)
    for problem in problems:
        print("%s: problem: %s" % (label, problem), file=out)
    print("%s: %s (%d imports from %d DLLs, %d listed functions for %s)" % (
        label, "%d problem%s" % (len(problems), "" if len(problems) == 1 else "s")
        if problems else "no problems", import_count, len(image.imports),
        len(entries), windows), file=out)
    return len(problems)


def main(argv=None, out=sys.stdout):
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--list", required=True, help="missing_on_windows98.txt")
    parser.add_argument("--windows", default="Windows 98",
                        help="the Windows the list is for, as the messages name it")
    parser.add_argument("--require", action="store_true",
                        help="a missing executable is a failure, not a skip")
    parser.add_argument("--imports", action="store_true", help="print every import")
    parser.add_argument("--instructions", action="store_true",
                        help="also check that every instruction is one of the Pentium's")
    parser.add_argument("--objdump", default="i686-w64-mingw32-objdump",
                        help="the objdump that reads the executables")
    parser.add_argument("executables", nargs="+")
    args = parser.parse_args(argv)
    try:
        entries = load_list(args.list)
    except (OSError, ValueError) as error:
        print("cannot use the list: %s" % error, file=out)
        return 2
    missing = [path for path in args.executables if not os.path.exists(path)]
    if missing and not args.require:
        print("skipped: %s not built (scripts/test.sh builds the win32 preset)"
              % ", ".join(missing), file=out)
        return SKIPPED
    objdump = None
    if args.instructions:
        objdump = shutil.which(args.objdump)
        if not objdump:
            print("%s: %s not found (package binutils-mingw-w64-i686)" % (
                "problem" if args.require else "skipped", args.objdump), file=out)
            return 1 if args.require else SKIPPED
    problems = sum(check_file(path, entries, args.imports, out, objdump, args.windows)
                   for path in args.executables)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
