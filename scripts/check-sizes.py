#!/usr/bin/env python3
"""Fails when a source file is over 600 lines or a function body over 80
(roots after --files-only: the file lengths alone, for the tests and benches).

Functions are found by their braces: a block opened at namespace level (not a
namespace, class, struct, enum, union or initialiser) is a function; its
length runs from the line of its head to its closing brace. Braces in
comments, strings and character literals are skipped.
"""
import re
import sys
from pathlib import Path

MAX_FILE, MAX_FUNCTION = 600, 80
TYPE_HEAD = re.compile(r'\b(namespace|class|struct|enum|union)\b[^;()]*$|^extern "C"|=\s*$')


def code_only(text):
    """The text with comments, strings and character literals blanked (lines kept)."""
    out, i, n = [], 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith('//', i):
            j = text.find('\n', i)
            i = n if j < 0 else j
        elif text.startswith('/*', i):
            j = text.find('*/', i + 2)
            j = n if j < 0 else j + 2
            out.append('\n' * text.count('\n', i, j))
            i = j
        elif c == 'R' and text.startswith('R"', i):
            m = re.match(r'R"([^(]*)\(', text[i:])
            end = text.find(')' + m.group(1) + '"', i) if m else -1
            j = n if end < 0 else end + len(m.group(1)) + 2
            out.append('\n' * text.count('\n', i, j))
            i = j
        elif c in '"\'':
            j = i + 1
            while j < n and text[j] != c and text[j] != '\n':
                j += 2 if text[j] == '\\' else 1
            out.append(c + c)
            i = j + 1
        else:
            out.append(c)
            i += 1
    return ''.join(out)


def long_functions(path):
    lines = code_only(path.read_text(encoding='utf-8', errors='replace')).split('\n')
    found, stack, head = [], [], ''
    for number, line in enumerate(lines, 1):
        stripped = line.strip()
        if stripped.startswith('#'):
            continue
        for c in line:
            if c == '{':
                # A function is a block whose enclosing blocks are all namespaces.
                outer = all(kind == 'ns' for kind, _ in stack)
                kind = 'ns' if TYPE_HEAD.search(head.strip()) else ('fn' if outer and ')' in head else 'other')
                stack.append((kind, number))
                head = ''
            elif c == '}':
                if stack:
                    kind, start = stack.pop()
                    if kind == 'fn' and number - start + 1 > MAX_FUNCTION:
                        found.append((start, number - start + 1))
                head = ''
            elif c == ';':
                head = ''
            else:
                head += c
        head += ' '
    return found


def main(args):
    """Roots to check; those after --files-only are checked for file lengths alone."""
    faults, files_only = [], False
    for root in args or ['src']:
        if root == '--files-only':
            files_only = True
            continue
        for path in sorted(Path(root).rglob('*')):
            if path.suffix not in ('.cpp', '.h'):
                continue
            count = len(path.read_text(encoding='utf-8', errors='replace').splitlines())
            if count > MAX_FILE:
                faults.append(f'{path}: {count} lines (at most {MAX_FILE})')
            for start, length in [] if files_only else long_functions(path):
                faults.append(f'{path}:{start}: a function of {length} lines (at most {MAX_FUNCTION})')
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
