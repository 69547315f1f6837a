#!/usr/bin/env python3
"""Checks the drive range under data/ against the rules the program reads it by.

    python3 data/tools/check_range.py [data folder]

It reads the files the way the program does (flat XML element walk with
version windows, "//" and "-" separated text files, the type catalogue head
read by position) and reports every inconsistency it finds.  Exit status 0
when the range is consistent, 1 otherwise.  It also regenerates the range into
a temporary folder and compares it byte for byte with the files on disk.
"""

import filecmp
import os
import re
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

LETTERS = ('H', 'B', 'C', 'S', 'E', 'F', 'G', 'X', 'T', 'L', 'A')  # typeInfo.txt columns
CODES = {'H': 'ZN', 'B': 'ZD', 'C': 'ZW', 'S': 'ZR', 'E': 'ZP', 'F': 'ZM', 'G': 'ZM-K',
         'X': 'ZP2', 'T': 'ZR2', 'L': 'ZM-KX', 'A': 'ZQ'}
HIDDEN_FILES = {'B': 'ZDHideParameter.xml', 'C': 'ZWHideParameter.xml',
                'E': 'ZPHideParameter.xml', 'F': 'ZMHideParameter.xml',
                'G': 'ZM-KHideParameter.xml', 'H': 'ZNHideParameter.xml',
                'L': 'ZM-KXHideParameter.xml', 'S': 'ZRHideParameter.xml',
                'T': 'ZR2HideParameter.xml', 'X': 'ZP2HideParameter.xml'}
LANGUAGES = ('_Eng', '', '_Big')

# Every key the program asks the feature table for.
FEATURE_KEYS = (
    'readWrite_99999', 'readWrite_H',
    'monitorthread_readInverterInfo_F', 'monitorthread_readInverterInfo_XGT',
    'monitorthread_readInverterInfo_BCS', 'monitorthread_readInverterInfo_E',
    'monitorthread_readInverterInfo_L', 'monitorthread_readInverterInfo_H',
    'monitorthread_readInverterInfo_A',
    'mainDialPlot_ioState', 'mainDialPlot_plotComboBox_GF', 'mainAdvPlot_PrComboBox_GF',
    'alarmcode_readP187', 'alarmcode_errorInfomation', 'hideparameter_errorInfomation',
    'Navigation_readP187',
    'Parameter_H', 'Parameter_NotH', 'Parameter_multiValue', 'Parameter_readP186',
    'Parameter_readP21', 'Parameter_writeP125', 'Parameter_writeP100',
    'Parameter_writeP188', 'Parameter_writeP292', 'Parameter_writeP164',
    'ram_AdressLineEdit',
)
# Identity read: feature key -> series it must select, tried in this order.
IDENTITY_KEYS = (
    ('monitorthread_readInverterInfo_F', 'F', (301, 360)),
    ('monitorthread_readInverterInfo_XGT', 'XGT', (401, 460)),
    ('monitorthread_readInverterInfo_BCS', 'BCS', (201, 231)),
    ('monitorthread_readInverterInfo_E', 'E', (201, 260)),
    ('monitorthread_readInverterInfo_L', 'L', (701, 760)),
    ('monitorthread_readInverterInfo_H', 'H', None),
    ('monitorthread_readInverterInfo_A', 'A', (1401, 1460)),
)
# The model strings of the demonstration stations.
MODELS = {
    'ZN-020-5.5K': 'H', 'ZD-043-0.75K': 'B', 'ZW-023-1.5K': 'C', 'ZR-043-11K': 'S',
    'ZP-043-22K': 'E', 'ZM-043-7.5K': 'F', 'ZM-043-7.5K-K': 'G', 'ZM-043-185K/200K-K': 'G',
    'ZP2-043-2.2K': 'X', 'ZR2-043-15K': 'T', 'ZM-043-5.5K-KX': 'L', 'ZQ1-043-5.5K': 'A',
}
# Versions met in the field, per series (catalogue versions, at most 4 characters).
PROBE_VERSIONS = {
    'A': ['0.10'], 'B': ['0.40'], 'C': ['0.20', '0.30', '0.40'], 'E': ['0.70', '1.00'],
    'F': ['0.90', '1.00'], 'G': ['0.10', '0.20', '0.33'], 'H': ['0.10'],
    'L': ['0.10', '0.12', '0.13', '0.14'], 'S': ['1.00', '1.10'],
    'T': ['0.30', '0.40', '0.43'], 'X': ['0.40', '0.50', '0.60'],
}
# Parameters whose default the program computes from the capacity, by variant.
COMPUTED_H = {0, 7, 8, 12, 16}
COMPUTED_NOT_H = {0, 9, 87}
MULTI_VALUE_A = {1, 7, 8, 12, 152, 244, 56, 306, 58, 72}
# Series A: parameters whose scale follows a register or the capacity, not the unit.
A_NUMBER_RULE = ({7, 8, 16, 44, 45, 213, 214, 238, 239, 9, 56, 306, 308, 336, 338, 291, 37,
                  271, 272, 318, 348} | set(range(111, 119)) | set(range(309, 314))
                 | set(range(339, 344)))
TIMES_P21 = {7, 8, 16, 44, 45} | set(range(111, 119))
# Parameter functions: their "1" runs the function, the drive holds no value.
PARAMETER_FUNCTIONS = {996, 997, 998, 999}
CURRENTS_BY_CAPACITY = {9, 56, 306, 308, 336, 338}
SIMPLIFIED_ONLY = set('频设数据电压参变转机动时显选输运')
TRADITIONAL_ONLY = set('頻設數據電壓參變轉機動時顯選輸運')


class Checker:
    def __init__(self, data):
        self.data = data
        self.errors = []
        self.features = {}
        self.catalogues = {}   # (letter, version) -> {number: row} (English)
        self.hidden = {}       # letter -> {number: [(window, default, unit)]}

    def error(self, text):
        self.errors.append(text)

    def path(self, relative):
        return os.path.join(self.data, relative)

    def read_text(self, relative):
        try:
            with open(self.path(relative), encoding='utf-8', newline='') as f:
                return f.read()
        except (OSError, UnicodeDecodeError) as e:
            self.error('%s: cannot read (%s)' % (relative, e))
            return None

    # ---- feature table -------------------------------------------------
    def check_features(self):
        text = self.read_text('InvType/typeInfo.txt')
        if text is None:
            return
        for number, line in enumerate(text.splitlines(), 1):
            pieces = [p for p in line.split('//') if p]
            if not pieces:
                continue
            if len(pieces) != 12:
                self.error('typeInfo.txt line %d: %d columns, not eleven' % (number, len(pieces) - 1))
            if pieces[0] in self.features:
                self.error('typeInfo.txt: key %s twice' % pieces[0])
            on = {}
            for letter, column in zip(LETTERS, pieces[1:]):
                first = [p for p in re.split('-|,', column) if p]
                on[letter] = bool(first) and first[0] != '0'
            self.features[pieces[0]] = on
        for key in FEATURE_KEYS:
            if key not in self.features:
                self.error('typeInfo.txt: key %s missing' % key)
        if self.errors:
            return
        self._check_feature_meaning()

    def feature(self, key, letter):
        return self.features.get(key, {}).get(letter, False)

    def _check_feature_meaning(self):
        for letter in LETTERS:
            chosen = [series for key, series, _ in IDENTITY_KEYS if self.feature(key, letter)]
            if not chosen or letter not in chosen[0]:
                self.error('typeInfo.txt: series %s selects the identity read of %s'
                           % (letter, chosen[:1] or 'none'))
        only_h = {'readWrite_H', 'Parameter_H'}
        for key in only_h:
            for letter in LETTERS:
                if self.feature(key, letter) != (letter == 'H'):
                    self.error('typeInfo.txt: %s must be on for series H only' % key)
        for letter in LETTERS:
            if self.feature('Parameter_H', letter) and self.feature('Parameter_NotH', letter):
                self.error('typeInfo.txt: series %s has both Parameter_H and Parameter_NotH'
                           % letter)
            if letter != 'H' and not self.feature('Parameter_NotH', letter):
                self.error('typeInfo.txt: series %s needs Parameter_NotH' % letter)

    def identity_range(self, letter):
        for key, _, registers in IDENTITY_KEYS:
            if self.feature(key, letter):
                return key, registers
        return None, None

    # ---- catalogues ----------------------------------------------------
    @staticmethod
    def versioned_text(text, version):
        """The program's version rule: None when the element is ignored."""
        parts = [p for p in (text or '').split('\\') if p]
        if not parts:
            return None
        if len(parts) == 1:
            value = parts[0]
        else:
            low, _, high = parts[0].partition('-')
            try:
                if not float(low) <= float(version) <= float(high):
                    return None
            except ValueError:
                return None
            value = parts[1]
        return value[1:] if value.startswith(' ') else value

    def parse_xml(self, relative):
        raw = None
        try:
            with open(self.path(relative), 'rb') as f:
                raw = f.read()
            raw.decode('utf-8')
            root = ET.fromstring(raw)
        except (OSError, UnicodeDecodeError, ET.ParseError) as e:
            self.error('%s: not well-formed UTF-8 XML (%s)' % (relative, e))
            return None
        if not raw.startswith(b'<?xml version="1.0" encoding="UTF-8"?>'):
            self.error('%s: the declaration must state UTF-8' % relative)
        return root

    def catalogue_structure(self, relative, letter, root):
        keywords = ('Group', 'Name', 'Range', 'Unit', 'Default')
        if root.tag != 'InvParameter' or any(k in root.tag for k in keywords):
            self.error('%s: root element %s' % (relative, root.tag))
        order = ['Group', 'Name', 'Range', 'Unit', 'Default'] if letter == 'A' \
            else ['Name', 'Range', 'Unit', 'Default']
        wrappers = []
        for wrapper in root:
            number = wrapper.tag[2:]
            if not re.fullmatch(r'Pr(\d+|99X)', wrapper.tag) or \
                    (number == '99X') != (letter == 'A' and wrapper is root[-1]):
                self.error('%s: unexpected element %s' % (relative, wrapper.tag))
                continue
            kinds = []
            for child in wrapper:
                kind = child.tag[:-len(number)]
                if child.tag != kind + number or kind not in order:
                    self.error('%s: %s holds %s' % (relative, wrapper.tag, child.tag))
                    continue
                if len(child):
                    self.error('%s: %s has child elements' % (relative, child.tag))
                kinds.append(kind)
            deduplicated = [k for i, k in enumerate(kinds) if i == 0 or kinds[i - 1] != k]
            if deduplicated != order:
                self.error('%s: %s elements %s, expected %s' % (relative, wrapper.tag,
                                                               deduplicated, order))
            wrappers.append(number)
        return wrappers

    def catalogue_rows(self, relative, letter, root, version):
        """{number: row} and the file order, read as the program reads it."""
        rows, order = {}, []
        for wrapper in root:
            number = wrapper.tag[2:]
            taken = {}
            for child in wrapper:
                kind = child.tag[:-len(number)]
                value = self.versioned_text(child.text, version)
                if value is None:
                    continue
                if kind in taken:
                    self.error('%s v%s: two %s elements of P.%s apply'
                               % (relative, version, kind, number))
                taken[kind] = value
            if not taken:
                continue
            needed = {'Name', 'Range', 'Unit', 'Default'} | ({'Group'} if letter == 'A' else set())
            if set(taken) != needed:
                self.error('%s v%s: P.%s has only %s; the rest would fall to its neighbour'
                           % (relative, version, number, sorted(taken)))
                continue
            taken['Unit'] = taken['Unit'].replace(' ', '')
            key = int(number) if number.isdigit() else number
            rows[key] = taken
            order.append(key)
        return rows, order

    def check_catalogues(self):
        for letter in LETTERS:
            english = None
            for suffix in LANGUAGES:
                relative = 'InvParameter/%s_InvParameter%s.xml' % (letter, suffix)
                root = self.parse_xml(relative)
                if root is None:
                    continue
                self.catalogue_structure(relative, letter, root)
                for version in PROBE_VERSIONS[letter]:
                    rows, order = self.catalogue_rows(relative, letter, root, version)
                    self.check_catalogue_order(relative, letter, order)
                    if suffix == '_Eng':
                        self.catalogues[(letter, version)] = rows
                        english = rows
                    elif english is not None:
                        self.compare_language(relative, version, suffix,
                                              self.catalogues[(letter, version)], rows)
            for version in PROBE_VERSIONS[letter]:
                rows = self.catalogues.get((letter, version))
                if rows:
                    self.check_rows(letter, version, rows)

    def check_catalogue_order(self, relative, letter, order):
        label = lambda n: ('P.%s' % n).rjust(5)
        if [label(n) for n in order] != sorted(label(n) for n in order):
            self.error('%s: parameters not in the order of the P column' % relative)
        if not order or order[0] != 0:
            self.error('%s: the first parameter must be P.0 (the loader starts its first '
                       'record at number 0)' % relative)
        if letter == 'A' and (not order or order[-1] != '99X'):
            self.error('%s: P.99X must be the last entry' % relative)

    def compare_language(self, relative, version, suffix, english, rows):
        if list(english) != list(rows):
            self.error('%s v%s: parameter numbers differ from the English file'
                       % (relative, version))
            return
        for number, row in rows.items():
            for kind in ('Group', 'Range', 'Unit', 'Default'):
                if row.get(kind) != english[number].get(kind):
                    self.error('%s: P.%s %s differs from the English file' % (relative, number, kind))
            name = row['Name']
            forbidden = TRADITIONAL_ONLY if suffix == '' else SIMPLIFIED_ONLY
            if set(name) & forbidden or not re.search('[\u4e00-\u9fff]', name):
                self.error('%s: P.%s name %r is not in the file\'s script' % (relative, number, name))

    # ---- rows: units, ranges, defaults ---------------------------------
    @staticmethod
    def decimals(unit):
        """The program's unit rule: position of the first "1"."""
        position = unit.find('1')
        return {2: 1, 3: 2, 4: 3}.get(position, 0)

    def check_rows(self, letter, version, rows):
        where = 'series %s v%s' % (letter, version)
        computed = self.computed_defaults(letter)
        for number, row in rows.items():
            unit, default = row['Unit'], row['Default']
            if not unit:
                self.error('%s: P.%s has no unit' % (where, number))
            if len(unit) == 10 and not self.two_resolution_ok(letter, number, unit):
                self.error('%s: P.%s has a two-resolution unit %s the program cannot resolve'
                           % (where, number, unit))
            if (default == '---') != (number in computed):
                self.error('%s: P.%s default %r (computed defaults: %s)'
                           % (where, number, default, number in computed))
            if letter == 'A' and number in A_NUMBER_RULE or number == '99X':
                continue
            self.check_values(where, number, row)
        for number in (n for n in rows if isinstance(n, int) and n > 993):
            if letter != 'A' and number not in (996, 997, 998, 999):
                self.error('%s: P.%s above 993 would end a batch read' % (where, number))

    def check_values(self, where, number, row):
        units = row['Unit'].split('/') if len(row['Unit']) == 10 else [row['Unit']]
        ranges = row['Range'].split('/') if len(units) == 2 else [row['Range']]
        if len(ranges) != len(units):
            self.error('%s: P.%s range %r does not follow its unit %r'
                       % (where, number, row['Range'], row['Unit']))
            return
        markers = ('9999', '99999')
        for unit, text in zip(units, ranges):
            d = self.decimals(unit)
            for value in re.findall(r'\d+(?:\.\d+)?', text):
                if value in markers:
                    continue
                if '.' in value and len(value.split('.')[1]) > d:
                    self.error('%s: P.%s value %s finer than unit %s' % (where, number, value, unit))
                if float(value) * 10 ** d > 65535:
                    self.error('%s: P.%s value %s does not fit a register at unit %s'
                               % (where, number, value, unit))
        default = row['Default']
        if default != '---' and not re.fullmatch(r'\d+(\.\d+)?', default):
            self.error('%s: P.%s default %r is not a number' % (where, number, default))
            return
        # A drive starts at its defaults; one it would refuse could never be
        # written back from a saved set.
        if default != '---' and number not in PARAMETER_FUNCTIONS and \
                not any(self.value_in_range(default, text) for text in ranges):
            self.error('%s: P.%s default %s lies outside its range %r'
                       % (where, number, default, row['Range']))

    @staticmethod
    def value_in_range(value, text):
        """Whether a range text ("0~400Hz,9999", "0,1") admits a value: between
        its lowest and highest number, or a "not used" marker it lists."""
        markers = ('9999', '99999')
        tokens = [t.strip() for t in text.split(',')]
        if value in markers and value in tokens:
            return True
        numbers = [float(v) for t in tokens if t not in markers
                   for v in re.findall(r'-?\d+(?:\.\d+)?', t)]
        return not numbers or min(numbers) <= float(value) <= max(numbers)

    def two_resolution_ok(self, letter, number, unit):
        if '/' not in unit:
            return False
        if letter == 'G':
            return number in CURRENTS_BY_CAPACITY and unit.endswith('A')
        if letter == 'A':
            return number in A_NUMBER_RULE
        return self.feature('Parameter_readP21', letter) and number in TIMES_P21 \
            and unit.endswith('s')

    def computed_defaults(self, letter):
        if self.feature('Parameter_H', letter):
            return set(COMPUTED_H)
        numbers = set(COMPUTED_NOT_H)
        if self.feature('Parameter_multiValue', letter):
            if letter == 'A':
                numbers |= MULTI_VALUE_A
            else:
                numbers |= {1, 8, 12, 152, 244}
                if letter in 'FGL':
                    numbers.add(58)
                if letter == 'L':
                    numbers.add(7)
        return numbers

    # ---- hidden parameters ---------------------------------------------
    def check_hidden(self):
        folder = self.path('hideparameter')
        present = sorted(os.listdir(folder)) if os.path.isdir(folder) else []
        if present != sorted(HIDDEN_FILES.values()):
            self.error('hideparameter/: files %s, expected %s' % (present, sorted(HIDDEN_FILES.values())))
        for letter, name in HIDDEN_FILES.items():
            relative = 'hideparameter/' + name
            root = self.parse_xml(relative)
            if root is None:
                continue
            entries = {}
            for element in root:
                match = re.fullmatch(r'Pr(\d+)', element.tag)
                kinds = [child.tag for child in element]
                if not match or kinds != ['DefaultValue', 'Unit']:
                    self.error('%s: element %s with %s' % (relative, element.tag, kinds))
                    continue
                default, unit = element[0].text or '', element[1].text or ''
                entries.setdefault(int(match.group(1)), []).append((default, unit))
            self.hidden[letter] = entries

    def hidden_unit(self, letter, number, version):
        """The unit the program's hidden list holds for a number at a version."""
        for default, unit in self.hidden.get(letter, {}).get(number, []):
            d = self.versioned_text(default, version) if '\\' in default else default
            u = self.versioned_text(unit, version) if '\\' in unit else unit
            if d and u:
                return u
        return None

    def check_scaled_reads(self):
        """Every parameter read with its catalogue scale has a unit to scale by."""
        for letter in LETTERS:
            numbers = set()
            key, registers = self.identity_range(letter)
            if key is None:
                continue
            numbers |= {300, 301, 199} if registers is None else {registers[0], registers[0] + 1}
            if letter == 'G':
                numbers.add(186)
            if self.feature('hideparameter_errorInfomation', letter):
                numbers.add(289)
            if self.feature('alarmcode_errorInfomation', letter):
                numbers |= {292, 293}
            if letter in 'CS':
                numbers |= {164, 165}
            elif letter not in 'BE':
                numbers |= {292, 293}
            if self.feature('Navigation_readP187', letter):
                numbers.add(187)
            for version in PROBE_VERSIONS[letter]:
                rows = self.catalogues.get((letter, version), {})
                for number in sorted(numbers):
                    catalogue = rows.get(number, {}).get('Unit')
                    hidden = self.hidden_unit(letter, number, version)
                    if not catalogue and not hidden:
                        self.error('series %s v%s: P.%s is read with its scale but has no unit'
                                   % (letter, version, number))
                    if catalogue and hidden and self.decimals(catalogue) != self.decimals(hidden):
                        self.error('series %s: P.%s scales differ in catalogue and hidden list'
                                   % (letter, number))

    def check_feature_parameters(self):
        needs = {'Parameter_readP21': (21,), 'Parameter_writeP125': (125,),
                 'Parameter_writeP100': (100,), 'Parameter_writeP188': (188,),
                 'Parameter_writeP292': (292, 293), 'Parameter_writeP164': (164, 165),
                 'Parameter_readP186': (186,), 'Parameter_H': (199, 300, 301)}
        for letter in LETTERS:
            latest = self.catalogues.get((letter, PROBE_VERSIONS[letter][-1]), {})
            for key, numbers in needs.items():
                for number in numbers:
                    if self.feature(key, letter) and number not in latest:
                        self.error('series %s: %s is on but P.%s is not in the catalogue'
                                   % (letter, key, number))
            if not self.feature('Parameter_writeP188', letter) and 188 in latest:
                self.error('series %s: P.188 is read-only but Parameter_writeP188 is off' % letter)

    # ---- limits files ----------------------------------------------------
    def check_limit_files(self):
        texts = {}
        for name in ('Version.txt', 'INVParameter_num.txt', 'ReadPar.txt'):
            for folder in ('', 'InvParameter/'):
                texts[folder + name] = self.read_text(folder + name)
            if texts[name] != texts['InvParameter/' + name]:
                self.error('%s and InvParameter/%s differ' % (name, name))
        if None in texts.values():
            return
        versions = dict(line.split('-', 1) for line in texts['Version.txt'].splitlines())
        limits = dict(line.split('-', 1) for line in texts['INVParameter_num.txt'].splitlines())
        for letter in LETTERS:
            if letter not in versions or not re.fullmatch(r'\d\.\d+', versions[letter]):
                self.error('Version.txt: no version for %s' % letter)
                continue
            for version in PROBE_VERSIONS[letter]:
                if float(version) > float(versions[letter]):
                    self.error('Version.txt: %s limit below version %s' % (letter, version))
            numbers = set()
            for version in PROBE_VERSIONS[letter]:
                numbers |= {n for n in self.catalogues.get((letter, version), {})
                            if isinstance(n, int) and n <= 993}
            if numbers and limits.get(letter) != str(max(numbers)):
                self.error('INVParameter_num.txt: %s-%s, highest parameter is %d'
                           % (letter, limits.get(letter), max(numbers)))
        self.check_read_par(texts['ReadPar.txt'])

    def check_read_par(self, text):
        seen = set()
        for line in text.splitlines():
            letter, colon, rest = line.partition(':')
            if letter not in LETTERS or not colon or not rest.startswith('P'):
                self.error('ReadPar.txt: line %r' % line)
                continue
            seen.add(letter)
            skips = [int(p) for p in re.split('P|-', line)[1:] if p]
            for version in PROBE_VERSIONS[letter]:
                rows = self.catalogues.get((letter, version), {})
                for order in self.table_orders(letter, rows):
                    self.simulate_batch_write(letter, version, order, skips)
        if seen != set(LETTERS):
            self.error('ReadPar.txt: series %s missing' % sorted(set(LETTERS) - seen))

    @staticmethod
    def table_orders(letter, rows):
        by_label = sorted(rows, key=lambda n: ('P.%s' % n).rjust(5))
        if letter != 'A':
            return [by_label]
        return [by_label, sorted(rows, key=lambda n: rows[n]['Group'])]

    def simulate_batch_write(self, letter, version, order, skips):
        """Every listed parameter must be passed over by the batch write's walk."""
        skipped = set()
        i = 0
        while i < len(order):
            m = order[i]
            for number in skips:
                if number == m:
                    skipped.add(m)
                    i += 1
                    if i >= len(order):
                        break
                    m = order[i]
            i += 1
        missed = [n for n in skips if n in order and n not in skipped]
        if missed:
            self.error('ReadPar.txt: series %s v%s would still write %s (list not in table order)'
                       % (letter, version, missed))

    def check_groups(self):
        for version in PROBE_VERSIONS['A']:
            rows = self.catalogues.get(('A', version), {})
            groups = [row['Group'] for row in rows.values()]
            if any(not re.fullmatch(r'\d\d-\d\d', g) for g in groups) or \
                    len(set(groups)) != len(groups) or '00-00' not in groups:
                self.error('series A: group codes must be unique NN-NN texts starting at 00-00')
            in_group_order = sorted((n for n in rows if n != '99X'), key=lambda n: rows[n]['Group'])
            high = [i for i, n in enumerate(in_group_order) if n > 993]
            if high and high[0] != len(in_group_order) - len(high):
                self.error('series A: parameters above 993 must come last in group order')

    # ---- types -------------------------------------------------------------
    def check_types(self):
        text = self.read_text('InvType/InvType.mgr')
        if text is None:
            return
        lines = text.splitlines()

        def section(line):
            stripped = line.strip()
            if not stripped.startswith('['):
                return None
            return [p for p in re.split(r'\[|\]', stripped) if p][:1] or None

        def values(line):
            return [p for p in re.split('=|,', line.strip()) if p]

        if len(lines) < 6 or section(lines[0]) != ['inv_Type'] or section(lines[3]) != ['PW_ID'] \
                or values(lines[1])[:1] != ['TYPE'] or values(lines[4])[:1] != ['POWER'] \
                or values(lines[5])[:1] != ['POWER_OLD'] or not lines[2].strip():
            self.error('InvType.mgr: the head (lines 1 to 6) does not parse')
            return
        types = values(lines[1])[1:]
        sections = {}
        for index in range(6, len(lines)):
            name = section(lines[index])
            if name is None:
                continue
            following = values(lines[index + 1]) if index + 1 < len(lines) else []
            if following[:1] != ['POWER'] or len(following) < 2:
                self.error('InvType.mgr: [%s] is not followed by its POWER line' % name[0])
                continue
            if name[0] in sections:
                self.error('InvType.mgr: [%s] twice' % name[0])
            sections[name[0]] = following[1:]
        for name in types:
            if name not in sections:
                self.error('InvType.mgr: type %s has no section' % name)
            if series_letter_of_type(name) is None:
                self.error('InvType.mgr: type %s names no series' % name)
        for model, letter in MODELS.items():
            self.check_model(model, letter, lines, types, sections)

    def check_model(self, model, letter, lines, types, sections):
        if series_letter(model) != letter:
            self.error('model %s gives series %s, not %s' % (model, series_letter(model), letter))
        key, power = type_key(model)
        fields = [p for p in re.split('=|,', lines[1].strip()) if p]
        if key not in fields[1:]:
            self.error('model %s: type %s not in the TYPE list' % (model, key))
            return
        powers = sections.get(key, [])
        if power not in powers:
            self.error('model %s: power %s not offered for %s' % (model, power, key))
        if model_from_type(key, power) != model:
            self.error('model %s: type %s and power %s give back %s'
                       % (model, key, power, model_from_type(key, power)))
        if series_letter_of_type(key) != letter:
            self.error('model %s: type %s belongs to series %s' % (model, key,
                                                                  series_letter_of_type(key)))

    # ---- alarms ----------------------------------------------------------
    def check_alarms(self):
        codes = self.read_text('InvType/alarmCode.txt')
        lamps = self.read_text('InvType/alarm.txt')
        if codes is None or lamps is None:
            return
        table = {}
        for line in codes.splitlines():
            parts = line.split('-')
            if len(parts) < 2 or not parts[0].isdigit() or not parts[1]:
                self.error('alarmCode.txt: line %r' % line)
                continue
            if int(parts[0]) in table:
                self.error('alarmCode.txt: alarm %s twice' % parts[0])
            table[int(parts[0])] = parts[1]
        lines = lamps.splitlines()
        if len(lines) % 2:
            self.error('alarm.txt: selector and lamp lines must come in pairs')
            return
        windows = {letter: [] for letter in LETTERS}
        for selector, names in zip(lines[0::2], lines[1::2]):
            parts = selector.split('-')
            if len(parts) != 3 or parts[0] not in LETTERS:
                self.error('alarm.txt: selector %r' % selector)
                continue
            low, high = float(parts[1]), float(parts[2])
            windows[parts[0]].append((low, high))
            entries = names.split('-')
            if len(entries) % 2 or len(entries) > 120:
                self.error('alarm.txt: lamp line of %s has %d entries' % (selector, len(entries)))
                continue
            for number, name in zip(entries[0::2], entries[1::2]):
                expected = table.get(int(number), '')
                if int(number) == 112 and parts[0] in 'BEX':
                    expected = 'BI'
                if name != expected:
                    self.error('alarm.txt: %s lamp %s reads %s, the alarm lookup gives %r'
                               % (selector, number, name, expected))
        for letter in LETTERS:
            for version in PROBE_VERSIONS[letter]:
                hits = [w for w in windows[letter] if w[0] <= float(version) < w[1]]
                if len(hits) != 1:
                    self.error('alarm.txt: series %s v%s matches %d selectors'
                               % (letter, version, len(hits)))

    # ---- reproduction ----------------------------------------------------
    def check_reproduction(self):
        generator = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'generate_range.py')
        with tempfile.TemporaryDirectory() as out:
            result = subprocess.run([sys.executable, '-B', generator, out],
                                    capture_output=True, text=True)
            if result.returncode != 0:
                self.error('generate_range.py failed: %s' % result.stderr.strip())
                return
            for folder, _, files in os.walk(out):
                for name in files:
                    generated = os.path.join(folder, name)
                    relative = os.path.relpath(generated, out)
                    committed = self.path(relative)
                    if not os.path.exists(committed) or \
                            not filecmp.cmp(generated, committed, shallow=False):
                        self.error('%s differs from what generate_range.py writes' % relative)

    def run(self):
        self.check_features()
        self.check_catalogues()
        self.check_hidden()
        self.check_scaled_reads()
        self.check_feature_parameters()
        self.check_limit_files()
        self.check_groups()
        self.check_types()
        self.check_alarms()
        self.check_reproduction()
        return self.errors


# ---- model strings and type names (navigation panel rules) ----------------
def series_letter(model):
    if model.endswith('-KX'):
        return 'L'
    if model.endswith('-K'):
        return 'G'
    zero = model.find('0', 1)
    code = model[1:zero - 1] if zero >= 3 else ''
    single = {'N': 'H', 'D': 'B', 'W': 'C', 'R': 'S', 'P': 'E', 'M': 'F'}
    if len(code) == 1:
        return single.get(code)
    if len(code) == 2:
        return {'P': 'X', 'R': 'T', 'Q': 'A'}.get(code[0])
    if len(code) == 3 and code[2] == 'K':
        return 'G'
    return None


def type_key(model):
    """Type name and power of a model: ZM-K and ZM-KX lose their suffix and take
    the type names "ZM/ZM-K-<voltage>" and "ZM-KX-<voltage>"."""
    for suffix, name in (('-KX', 'ZM-KX'), ('-K', 'ZM/ZM-K')):
        if model.endswith(suffix):
            fields = model[:-len(suffix)].split('-')
            return '%s-%s' % (name, fields[1]), fields[-1]
    fields = model.split('-')
    return '-'.join(fields[:2]), fields[-1]


def model_from_type(key, power):
    for prefix, suffix in (('ZM-KX-', '-KX'), ('ZM/ZM-K-', '-K')):
        if key.startswith(prefix):
            return 'ZM-%s-%s%s' % (key[len(prefix):], power, suffix)
    return '%s-%s' % (key, power)


def series_letter_of_type(key):
    return series_letter(model_from_type(key, '1K'))


def main(argv):
    data = argv[1] if len(argv) > 1 else os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    errors = Checker(data).run()
    for text in errors:
        print('error: ' + text)
    print('%s: %d problem(s)' % (data, len(errors)))
    return 1 if errors else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
