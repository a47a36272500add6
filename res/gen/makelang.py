#!/usr/bin/env python3
"""The translators' files (po/*.po, listed in po/LINGUAS) as the program's resources.

  makelang.py build PODIR OUT.rc OUT.cpp OUT.nsh
                                           writes one STRINGTABLE per language and the table
                                           of languages and English texts the program looks
                                           them up by; and the installer's languages, with its
                                           own texts (the entries of #: installer:NAME)
  makelang.py check PODIR SRCDIR RCFILE    fails on a text the program shows that vexolind.pot
                                           lacks, and on any .po that is incomplete, fuzzy,
                                           drops a placeholder or repeats an access key
Output depends on the inputs alone, so a release rebuilds byte for byte.
"""
import re
import sys
from pathlib import Path

FIRST_ID = 1000   # string ids: FIRST_ID + the text's place in vexolind.pot


def unquote(s):
    out, i = [], 0
    while i < len(s):
        c = s[i]
        if c == '\\' and i + 1 < len(s):
            n = s[i + 1]
            out.append({'n': '\n', 't': '\t', '"': '"', '\\': '\\'}.get(n, n))
            i += 2
        else:
            out.append(c)
            i += 1
    return ''.join(out)


def readpo(path):
    """[{id, str, refs, notes, fuzzy}], the header entry left out."""
    entries, cur, field = [], None, None

    def flush():
        if cur is not None and cur['id']:
            entries.append(cur)
    for raw in Path(path).read_text(encoding='utf-8').splitlines():
        line = raw.strip()
        if not line:
            continue
        if cur is None or (line.startswith('#') and field == 'str') or (line.startswith('msgid') and field == 'str'):
            flush()
            cur, field = {'id': '', 'str': '', 'refs': [], 'notes': [], 'fuzzy': False}, None
        if line.startswith('#:'):
            cur['refs'] += line[2:].split()
        elif line.startswith('#.'):
            cur['notes'].append(line[2:].strip())
        elif line.startswith('#,'):
            cur['fuzzy'] |= 'fuzzy' in line
        elif line.startswith('#'):
            pass
        elif line.startswith('msgid '):
            field, cur['id'] = 'id', unquote(line[6:].strip()[1:-1])
        elif line.startswith('msgstr '):
            field, cur['str'] = 'str', unquote(line[7:].strip()[1:-1])
        elif line.startswith('"') and field:
            cur[field] += unquote(line[1:-1])
    flush()
    return entries


def linguas(podir):
    """[(code, langid, name)] in the file's order."""
    out = []
    for line in (Path(podir) / 'LINGUAS').read_text(encoding='utf-8').splitlines():
        line = line.split('#', 1)[0].strip() if not line.lstrip().startswith('#') else ''
        if line:
            code, langid, name = line.split(None, 2)
            out.append((code, int(langid, 16), name))
    return out


def header(path, field):
    m = re.search(r'^"%s: *([^"\\]*)' % re.escape(field), Path(path).read_text(encoding='utf-8'), re.M)
    return m.group(1).strip() if m else ''


def cstring(text, wide):
    out = []
    for i, ch in enumerate(text):
        o = ord(ch)
        # A hex digit right after an escape would read as part of it: it is escaped too.
        if out and out[-1].startswith('\\') and out[-1][1] in 'x01234567' and ch in '0123456789abcdefABCDEF':
            out.append('\\x%04x' % o if wide else '\\%03o' % o)
        elif ch == '"':
            out.append('""' if wide == 'rc' else '\\"')
        elif ch == '\\':
            out.append('\\\\')
        elif ch == '\n':
            out.append('\\n')
        elif 32 <= o < 127:
            out.append(ch)
        elif wide:
            out.append('\\x%04x' % o)
        else:
            out.extend('\\%03o' % b for b in ch.encode('utf-8'))
    return '"' + ''.join(out) + '"'


def installername(entry):
    return next((r.split(':', 1)[1] for r in entry['refs'] if r.startswith('installer:')), None)


def nsisstring(text):
    return '"' + text.replace('"', '$\\"') + '"'


def build(podir, rcout, cppout, nshout):
    podir = Path(podir)
    pot = readpo(podir / 'vexolind.pot')
    english = [e['id'] for e in pot if not installername(e)]
    setup = [(installername(e), e['id']) for e in pot if installername(e)]
    # English first: the language NSIS falls back on when Windows' is none of these.
    nsh = ['; Made by res/gen/makelang.py from po/: edit those files, not this one.',
           '!insertmacro MUI_LANGUAGE "English"']
    nsh += ['LangString vx_%s ${LANG_ENGLISH} %s' % (n, nsisstring(t)) for n, t in setup]
    rc = ['// Made by res/gen/makelang.py from po/: edit those files, not this one.',
          '#include <windows.h>', '']
    langs = []
    for code, langid, name in linguas(podir):
        po = podir / (code + '.po')
        texts = {e['id']: e['str'] for e in readpo(po) if e['str'] and not e['fuzzy']}
        langs.append((code, langid, name, header(po, 'X-Dialog-Font')))
        nsis = header(po, 'X-NSIS-Language')
        nsh.append('!insertmacro MUI_LANGUAGE "%s"' % nsis)
        nsh += ['LangString vx_%s ${LANG_%s} %s' % (n, nsis.upper(), nsisstring(texts.get(t, t))) for n, t in setup]
        rc += ['LANGUAGE 0x%x, 0x%x' % (langid & 0x3ff, langid >> 10), 'STRINGTABLE', 'BEGIN']
        # A missing text is left out: the program shows the English one.
        rc += ['    %d, L%s' % (FIRST_ID + i, cstring(texts[k], 'rc')) for i, k in enumerate(english) if k in texts]
        rc += ['END', '']
    cpp = ['// Made by res/gen/makelang.py from po/: edit those files, not this one.',
           '#include "lang.h"', '',
           'const char *const englishtexts[] = {']
    cpp += ['    %s,' % cstring(k, False) for k in english]
    cpp += ['};', 'const size_t englishcount = sizeof englishtexts / sizeof *englishtexts;', '',
            'const language languages[] = {', '    {"", 0x0409, L"English", L""},']
    cpp += ['    {"%s", 0x%04x, L%s, L%s},' % (c, l, cstring(n, True), cstring(f, True)) for c, l, n, f in langs]
    cpp += ['};', 'const size_t languagecount = sizeof languages / sizeof *languages;',
            'const int firsttextid = %d;' % FIRST_ID, '']
    # The installer script reads its include as UTF-8 by the mark in front.
    for path, text in ((rcout, '\n'.join(rc)), (cppout, '\n'.join(cpp)), (nshout, '\ufeff' + '\n'.join(nsh) + '\n')):
        if not Path(path).exists() or Path(path).read_text(encoding='utf-8') != text:
            Path(path).write_text(text, encoding='utf-8')


ACCESS = re.compile(r'&([^&\s])')
TOKENS = re.compile(r'%[sd]|\\n|\n|!only|^# |\$\{APP\}|\$INSTDIR|\$R\d|%APPDATA%')


def accesskey(text):
    m = ACCESS.search(text.replace('&&', ''))
    return m.group(1).lower() if m else None


def shown_texts(srcdir, rcfile):
    """The texts the program shows: those of the menu and dialogs and every tr() in the code."""
    texts = set()
    rc = Path(rcfile).read_text(encoding='utf-8')
    for m in re.finditer(r'^\s*(MENUITEM|POPUP|CAPTION|[A-Z]*TEXT|[A-Z]*BUTTON|AUTO\w+|GROUPBOX|CONTROL)\s+"((?:[^"]|"")*)"',
                         rc, re.M):
        t = m.group(2).replace('""', '"')
        if re.search('[a-z]', t) and not t.startswith('Slider') and t != 'Context':
            texts.add(t)
    for path in sorted(Path(srcdir).rglob('*.cpp')):
        for m in re.finditer(r'\btrw?\("((?:[^"\\]|\\.)*)"\)', path.read_text(encoding='utf-8')):
            texts.add(unquote(m.group(1)))
    return texts


def check(podir, srcdir, rcfile):
    podir = Path(podir)
    pot = readpo(podir / 'vexolind.pot')
    faults = ['vexolind.pot lacks %r' % t for t in sorted(shown_texts(srcdir, rcfile) - {e['id'] for e in pot})]
    faults += ['vexolind.pot: %r says nothing of where it is shown' % e['id'] for e in pot if not e['notes']]
    for code, _, _ in linguas(podir):
        po = {e['id']: e for e in readpo(podir / (code + '.po'))}
        keys = {}
        for e in pot:
            k, t = e['id'], po.get(e['id'])
            if t is None or not t['str']:
                faults.append('%s: %r is not translated' % (code, k))
                continue
            if t['fuzzy']:
                faults.append('%s: %r is fuzzy' % (code, k))
            if sorted(TOKENS.findall(k)) != sorted(TOKENS.findall(t['str'])):
                faults.append('%s: %r does not keep %s' % (code, t['str'], TOKENS.findall(k)))
            if (accesskey(k) is None) != (accesskey(t['str']) is None):
                faults.append('%s: %r and its English differ in having an access key' % (code, t['str']))
            for group in e['refs']:
                if accesskey(t['str']):
                    keys.setdefault(group, {}).setdefault(accesskey(t['str']), set()).add(t['str'])
        for group, used in sorted(keys.items()):
            faults += ['%s: %s has access key %s on %s' % (code, group, key, sorted(texts))
                       for key, texts in sorted(used.items()) if len(texts) > 1]
        faults += ['%s: %r is no English text' % (code, k) for k in po if k not in {e['id'] for e in pot}]
    for f in faults:
        print(f)
    print('%d languages, %d texts: %s' % (len(linguas(podir)), len(pot), 'faults found' if faults else 'complete'))
    return 1 if faults else 0


if __name__ == '__main__':
    if sys.argv[1] == 'build':
        build(*sys.argv[2:6])
    else:
        sys.exit(check(*sys.argv[2:5]))
