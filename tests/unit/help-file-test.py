#!/usr/bin/env python3
"""The help file the build compiled: it opens as a CHM, and nothing in it points nowhere.

Every page of the table of contents and of the index is in the file, every link (href) and
image (src) of every page resolves to a file in it (and a #name to an anchor of that page),
every page can be reached from the table of contents, and the language file page lists the
texts of the English language file we ship, in order.

Run: python3 tests/unit/help-file-test.py build/native/CadenzoEn.chm lang/files/English.lng
"""
import html
import html.parser
import os
import posixpath
import shutil
import subprocess
import sys
import tempfile
import unittest
import urllib.parse

BUILT = sys.argv.pop(1) if len(sys.argv) > 1 else 'build/native/CadenzoEn.chm'
ENGLISH = sys.argv.pop(1) if len(sys.argv) > 1 else 'lang/files/English.lng'
LANGUAGE_PAGE = 'languagefiles.htm'
TEXTS_IN_USE = 80
PNG_SIGNATURE = b'\x89PNG\r\n\x1a\n'


class Page(html.parser.HTMLParser):
    """The links, images and anchors of a page; the Local targets of a sitemap (.hhc, .hhk)."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.links = []  # (attribute, value)
        self.images = []  # (src, width, height) as written in the page
        self.anchors = set()
        self.locals = []
        self.cells = []  # rows of table cells, as text
        self._cell = None

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        for name in ('href', 'src'):
            if attrs.get(name) is not None:
                self.links.append((name, attrs[name]))
        for name in ('name', 'id'):
            if tag in ('a', 'h1', 'h2', 'h3', 'p', 'table') and attrs.get(name):
                self.anchors.add(attrs[name])
        if tag == 'img':
            self.images.append((attrs.get('src'), attrs.get('width'), attrs.get('height')))
        if tag == 'param' and (attrs.get('name') or '').lower() == 'local':
            self.locals.append(attrs.get('value') or '')
            self.links.append(('Local', attrs.get('value') or ''))
        if tag == 'tr':
            self.cells.append([])
        if tag == 'td' and self.cells:
            self._cell = ''

    def handle_endtag(self, tag):
        if tag == 'td' and self._cell is not None:
            self.cells[-1].append(' '.join(self._cell.split()))
            self._cell = None

    def handle_data(self, data):
        if self._cell is not None:
            self._cell += data


def parse(text):
    page = Page()
    page.feed(text)
    page.close()
    return page


def is_external(target):
    return urllib.parse.urlsplit(target).scheme != ''


def resolve(page_name, target):
    """The CHM path and anchor that a link of `page_name` names."""
    parts = urllib.parse.urlsplit(target)
    path = urllib.parse.unquote(parts.path)
    path = posixpath.normpath(posixpath.join(posixpath.dirname(page_name), path)) if path else page_name
    return path, parts.fragment


def broken_links(files, pages, linking=None):
    """Every link of `linking` (name -> Page; default `pages`) that names no file of `files`, or
    no anchor of the page of `pages` it names."""
    broken = []
    for name, page in sorted((pages if linking is None else linking).items()):
        for attribute, target in page.links:
            if is_external(target):
                continue
            path, anchor = resolve(name, target)
            if path not in files:
                broken.append(f'{name}: {attribute}="{target}" names no file of the help file')
            elif anchor and (path not in pages or anchor not in pages[path].anchors):
                broken.append(f'{name}: {attribute}="{target}" names no anchor "{anchor}" in {path}')
    return broken


# The entries of the file's #SYSTEM record that name its parts.
SYSTEM_CONTENTS, SYSTEM_INDEX, SYSTEM_DEFAULT_TOPIC = 0, 1, 2
# The codes of its entries that hold text: the contents, index and default topic, the title,
# the default window, the compiled file's name, the compiler's version and the default font.
# The others are binary (4: language, flags and a time stamp; 10: a time stamp; 7, 8, 11 to 15:
# numbers and tables): their bytes may be anything, a byte no code page decodes among them.
SYSTEM_TEXT_CODES = frozenset((0, 1, 2, 3, 5, 6, 9, 16))


def system_entries(data):
    """The texts of a CHM's #SYSTEM record by their codes: a version, then (code, length, data)
    entries; binary entries are passed over."""
    entries = {}
    position = 4
    while position + 4 <= len(data):
        code = int.from_bytes(data[position:position + 2], 'little')
        length = int.from_bytes(data[position + 2:position + 4], 'little')
        if code in SYSTEM_TEXT_CODES:
            text = data[position + 4:position + 4 + length].split(b'\0')[0]
            entries[code] = text.decode('cp1252')
        position += 4 + length
    return entries


def english_texts(path):
    """(number, text) of a language file's texts as the program counts its lines: 1 to 80 by
    their place, then those carried by number ("101=text") before the credit."""
    with open(path, 'rb') as f:
        data = f.read()
    if data.startswith(b'\xef\xbb\xbf'):
        text = data[3:].decode('utf-8')
    else:
        text = data.decode('cp1252')
    lines = [line for line in text.split('\r\n') if line and not line.startswith(';')]
    texts = list(enumerate(lines[1:1 + TEXTS_IN_USE], start=1))
    for line in lines[1 + TEXTS_IN_USE:]:
        number, equals, rest = line.partition('=')
        if equals and number.isdigit() and int(number) > 100:
            texts.append((int(number), rest))
    return texts


class ExtractedHelp(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.mkdtemp(prefix='cadenzo-help-')
        out = os.path.join(cls.work, 'chm')
        with open(BUILT, 'rb') as f:
            cls.signature = f.read(4)
        run = subprocess.run(['extract_chmLib', BUILT, out], capture_output=True, text=True)
        cls.extract_error = '' if run.returncode == 0 else (run.stdout + run.stderr).strip()
        cls.files = {}
        for root, _, names in os.walk(out):
            for name in names:
                full = os.path.join(root, name)
                with open(full, 'rb') as f:
                    cls.files[os.path.relpath(full, out).replace(os.sep, '/')] = f.read()
        cls.pages = {name: parse(data.decode('cp1252')) for name, data in cls.files.items()
                     if name.endswith(('.htm', '.html'))}
        cls.sitemaps = {name: parse(data.decode('cp1252')) for name, data in cls.files.items()
                        if name.endswith(('.hhc', '.hhk'))}
        cls.system = system_entries(cls.files.get('#SYSTEM', b''))

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.work, ignore_errors=True)

    def sitemap(self, code):
        name = self.system.get(code, '')
        self.assertIn(name, self.sitemaps, f'the contents or index file "{name}" is missing')
        return name, self.sitemaps[name]

    def test_it_opens_as_a_compiled_help_file(self):
        self.assertEqual(b'ITSF', self.signature, f'{BUILT} is no compiled HTML help file')
        self.assertEqual('', self.extract_error, f'extract_chmLib could not open {BUILT}')
        # The page the viewer opens first.
        self.assertIn(self.system.get(SYSTEM_DEFAULT_TOPIC), self.pages)
        self.assertGreaterEqual(len(self.pages), 10)

    def test_contents_and_index_point_at_pages_and_anchors_that_exist(self):
        for code in (SYSTEM_CONTENTS, SYSTEM_INDEX):
            name, sitemap = self.sitemap(code)
            self.assertTrue(sitemap.locals, f'{name} names no page')
            self.assertEqual([], broken_links(self.files, self.pages, {name: sitemap}))

    def test_every_link_and_image_of_every_page_resolves(self):
        self.assertEqual([], broken_links(self.files, self.pages))
        for name, page in self.pages.items():
            for src, width, height in page.images:
                data = self.files[resolve(name, src)[0]]
                self.assertTrue(data.startswith(PNG_SIGNATURE), f'{name}: image {src} is no PNG')
                # A retaken screenshot of another size would show stretched.
                size = (int.from_bytes(data[16:20], 'big'), int.from_bytes(data[20:24], 'big'))
                self.assertEqual(size, (int(width or 0), int(height or 0)),
                                 f'{name}: width and height of image {src}')

    def test_every_page_is_reached_from_the_table_of_contents(self):
        _, contents = self.sitemap(SYSTEM_CONTENTS)
        reached = set()
        todo = [resolve('', local)[0] for local in contents.locals]
        while todo:
            path = todo.pop()
            if path in reached or path not in self.pages:
                continue
            reached.add(path)
            todo += [resolve(path, target)[0] for attribute, target in self.pages[path].links
                     if attribute == 'href' and not is_external(target)]
        self.assertEqual([], sorted(set(self.pages) - reached), 'pages no link leads to')

    def test_the_language_file_page_lists_the_shipped_english_texts_in_order(self):
        rows = [cells for cells in self.pages[LANGUAGE_PAGE].cells
                if len(cells) == 3 and cells[0].isdigit()]
        texts = english_texts(ENGLISH)
        self.assertEqual([str(number) for number, _ in texts], [r[0] for r in rows])
        for row, (number, text) in zip(rows, texts):
            self.assertEqual(' '.join(text.split()), row[2], f'text {number} of {LANGUAGE_PAGE}')


class TheCheck(unittest.TestCase):
    def test_a_broken_link_or_anchor_is_named(self):
        pages = {'a.htm': parse('<a href="b.htm#top">b</a><img src="images/x.png">'
                                '<a href="mailto:x@example.org">m</a>'),
                 'b.htm': parse('<p>no anchor</p><a href="a.htm">a</a>')}
        self.assertEqual(['a.htm: href="b.htm#top" names no anchor "top" in b.htm',
                          'a.htm: src="images/x.png" names no file of the help file'],
                         broken_links({'a.htm': b'', 'b.htm': b''}, pages))

    def test_binary_entries_of_the_system_record_are_passed_over(self):
        def entry(code, data):
            return code.to_bytes(2, 'little') + len(data).to_bytes(2, 'little') + data

        # Time stamps and a language block whose bytes cp1252 does not decode (0x81, 0x8D, 0x8F,
        # 0x90, 0x9D), around the texts.
        record = (b'\3\0\0\0' + entry(10, b'\x9d\x81\x8d\x8f') +
                  entry(9, b'HHA Version 4.74.8702\0') +
                  entry(4, b'\x09\x04\0\0' + b'\x90' * 32) + entry(2, b'index.htm\0') +
                  entry(3, b'Caf\xe9 Help\0') + entry(0, b'Contents.hhc\0') +
                  entry(1, b'Index.hhk\0') + entry(13, b'T#SM\x9d\x8f'))
        self.assertEqual({SYSTEM_CONTENTS: 'Contents.hhc', SYSTEM_INDEX: 'Index.hhk',
                          SYSTEM_DEFAULT_TOPIC: 'index.htm', 3: 'Caf\u00e9 Help',
                          9: 'HHA Version 4.74.8702'}, system_entries(record))


if __name__ == '__main__':
    unittest.main(verbosity=2)
