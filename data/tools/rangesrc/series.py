"""The eleven series of the range: parameter selection, versions, identity
registers, feature switches, types and power ratings.

Version windows are (lowest, highest) texts compared with the catalogue
version the program settles on (at most four characters, e.g. "0.33");
"99.99" stands for "all later versions".
"""

LATEST = '99.99'

# typeInfo.txt column order.
COLUMNS = ('H', 'B', 'C', 'S', 'E', 'F', 'G', 'X', 'T', 'L', 'A')

CODES = {
    'H': 'ZN', 'B': 'ZD', 'C': 'ZW', 'S': 'ZR', 'E': 'ZP', 'F': 'ZM', 'G': 'ZM-K',
    'X': 'ZP2', 'T': 'ZR2', 'L': 'ZM-KX', 'A': 'ZQ',
}

# Version.txt: highest catalogue version per series (also the version assumed
# when the drive cannot be asked).
VERSIONS = {
    'A': '0.100', 'B': '0.40', 'C': '0.40', 'E': '1.00', 'F': '1.00', 'G': '0.330',
    'H': '0.10', 'L': '0.140', 'S': '1.10', 'T': '0.430', 'X': '0.600',
}

# Versions that occur in the field, for the consistency check.
PROBE_VERSIONS = {
    'A': ['0.10'], 'B': ['0.40'], 'C': ['0.20', '0.30', '0.40'], 'E': ['0.70', '1.00'],
    'F': ['0.90', '1.00'], 'G': ['0.10', '0.20', '0.33'], 'H': ['0.10'],
    'L': ['0.10', '0.12', '0.13', '0.14'], 'S': ['1.00', '1.10'],
    'T': ['0.30', '0.40', '0.43'], 'X': ['0.40', '0.50', '0.60'],
}

TERMINALS_ZM = (('STF', 'STR', 'RL', 'RM', 'RH', 'RES', 'AU', 'RT', 'MRS'),
                ('SU', 'ABC', 'RUN', 'FU'))
TERMINALS_KX = (('STF', 'STR', 'M0', 'M1', 'M2', 'RES', 'M3', 'M4', 'M5'),
                ('SO1-SE', 'SO2-SE', 'A1-B1-C1', 'A2-B2-C2'))
TERMINALS_STD = (('STF', 'STR', 'M0', 'M1', 'M2', 'RES', 'M3', 'M4', 'M5'),
                 ('SO-SE', 'A-B-C', 'A1-B1-C1', 'A2-B2-C2'))

_SMALL = '0-20,22-33,36-39,41-60,65-73,75-79,90,125,150-155,160-162,188,996-999'
_C = _SMALL + ',24-27,80-86,91-96,128-134,164,165,178-183,190,191'
_S = _C + (',61-64,74,87-89,101-108,111-118,121-124,140-145,156,157,163,240,244,'
           '250-253')
_E = _SMALL + (',24-27,61-64,74,87-89,91-96,127-134,156,157,163,178-185,190-192,'
               '240,250,251')
_H = ('0-20,22-32,34-39,41-60,65-73,75-86,90-96,125,128-134,150-157,160-162,'
      '170-173,178-185,190-193,199,240,292,293,300,301,996-999')
_F = ('0-39,41-99,101-108,111-118,121-145,150-163,170,171,178-185,187-193,240,241,'
      '244,245,250-253,288-293,300,996-999')
_G = ('0-20,22-39,41-108,111-118,121-145,150-163,170,171,178-193,240,241,244,245,'
      '250-253,288-293,300-320,330-348,996-999')
_X = ('0-39,41-99,101-108,111-118,121-134,150-163,178-185,188-193,240,244,250-253,'
      '288-293,300-318,996-999')
_T = ('0-39,41-99,101-108,111-118,121-134,140-145,150-163,178-185,188-193,240,244,'
      '250-253,288-293,300-320,996-999')
_L = ('0-39,41-108,111-118,121-145,150-157,160-163,170,171,178-185,187-193,240,241,'
      '244,245,250-253,288-293,300-320,330-348,400-405,410-414,420-422,430-435,'
      '440-447,500-504,510-514,520,521,530,531,540-547,600-607,996-999')
_A = ('0-39,41-108,111-118,121-145,150-157,160-163,170,171,178-185,187-193,213,214,'
      '238-241,244,245,250-253,259,267,271,272,288-293,300-320,330-348,400-405,'
      '410-417,420-422,430-435,440-447,500-504,510-514,520,521,530,531,540-547,600-607,'
      '990,1401-1406')

# Times whose resolution follows P.21 (0: 0.01 s, 1: 0.1 s) on the series that
# read P.21, and on series A by parameter number.
TWO_RESOLUTION_TIMES = (7, 8, 16, 44, 45, 111, 112, 113, 114, 115, 116, 117, 118)
TWO_RESOLUTION_TIMES_A = TWO_RESOLUTION_TIMES + (213, 214, 238, 239)
# Currents whose resolution follows the capacity (0.1 A above 160 kW).
TWO_RESOLUTION_CURRENTS = (9, 56, 306, 308, 336, 338)

# Defaults the program computes from the capacity: the catalogue carries "---".
COMPUTED_NOT_H = (0, 9, 87)
COMPUTED_H = (0, 7, 8, 12, 16)
MULTI_VALUE_ZM = (1, 8, 12, 152, 244, 58)
MULTI_VALUE_A = (1, 7, 8, 12, 152, 244, 56, 306, 58, 72)


def _identity(first, last, last_is_version):
    rows = [
        (first, '3', '1', 'voltage class (1, 2: 220 V, 3: 440 V)'),
        (first + 1, '0', '0.01kW', 'rated capacity'),
        (first + 2, '0', '0.01A', 'rated output current'),
        (first + 3, '0', '0.01', 'control board firmware version'),
        (first + 4, '0', '0.01', 'operation panel firmware version'),
        (first + 5, '0', '1', 'year of manufacture'),
    ]
    if last_is_version:
        rows.append((last, '0', '0.01', 'firmware version'))
    else:
        rows.append((last, '0', '1', 'identity block check word'))
    return rows


_ALARM_HISTORY = [
    (288, '1', '1', 'alarm history number selection'),
    (289, '0', '1', 'alarm code of the selected history entry'),
    (290, '1', '1', 'alarm data item selection'),
    (291, '0', '0.01', 'alarm data value'),
    (292, '0', '1min', 'accumulated motor operation time, minutes'),
    (293, '0', '1day', 'accumulated motor operation time, days'),
]
_RUN_TIME_OLD = [
    (164, '0', '1min', 'accumulated operation time, minutes'),
    (165, '0', '1day', 'accumulated operation time, days'),
]
_FREQ_RESOLUTION = [(187, '0', '1', 'communication frequency command resolution')]

SERIES = {
    'H': dict(
        numbers=_H, fmax=400, terminals=TERMINALS_STD,
        overrides={
            9: ('Electronic thermal O/L relay (0: rated inverter current)',
                '电子热继电器（0：变频器额定电流）', '0~500A', '0.01A', '0'),
            # ZN drives keep their rated current in whole amperes.
            56: (None, None, '0~500A', '1A', '0'),
            170: ('Communication protocol selection', '通讯协议选择', '0,1', '1', '0'),
            171: ('Modbus response waiting time', 'Modbus响应等待时间', '0~150ms', '1ms', '10'),
            172: ('Modbus baud rate', 'Modbus波特率', '0~5', '1', '1'),
            173: ('Modbus communication format', 'Modbus通讯格式', '0~3', '1', '2'),
            300: ('Inverter capacity', '变频器容量', '0~655.34kW', '0.01kW', '0'),
            301: ('Inverter voltage class', '变频器电压等级', '220,440', '1', '220'),
        },
        hidden=[(199, '0', '0.01', 'firmware version'),
                (292, '0', '1min', 'accumulated motor operation time, minutes'),
                (293, '0', '1day', 'accumulated motor operation time, days'),
                (300, '0', '0.01kW', 'inverter capacity'),
                (301, '220', '1', 'inverter voltage class')],
        readpar=[77, 125, 199, 300, 301],
    ),
    'B': dict(
        numbers=_SMALL, fmax=400, terminals=TERMINALS_STD, identity=(201, 231),
        hidden=_identity(201, 231, True),
        readpar=[77, 90],
    ),
    'C': dict(
        numbers=_C, fmax=400, terminals=TERMINALS_STD, identity=(201, 231),
        windows={n: ('0.30', LATEST) for n in range(178, 184)},
        versioned={72: [('0.00', '0.29', {'range': '0.7~10kHz'}),
                        ('0.30', LATEST, {})]},
        hidden=_identity(201, 231, True) + _RUN_TIME_OLD,
        readpar=[77, 90],
    ),
    'S': dict(
        numbers=_S, fmax=400, terminals=TERMINALS_STD, identity=(201, 231),
        windows={n: ('1.10', LATEST) for n in (250, 251, 252, 253)},
        versioned={22: [('0.00', '1.09', {'range': '0~200%'}), ('1.10', LATEST, {})]},
        hidden=_identity(201, 231, True) + _RUN_TIME_OLD,
        readpar=[77, 90],
    ),
    'E': dict(
        numbers=_E, fmax=400, terminals=TERMINALS_STD, identity=(201, 260),
        windows={70: ('1.00', LATEST)},
        versioned={
            30: [('0.00', '0.99', {'range': '0,1'}), ('1.00', LATEST, {})],
            72: [('0.00', '0.99', {'range': '0.7~10kHz', 'default': '2'}),
                 ('1.00', LATEST, {})],
        },
        hidden=_identity(201, 260, True),
        readpar=[77, 90],
    ),
    'F': dict(
        numbers=_F, fmax=400, terminals=TERMINALS_ZM, identity=(301, 360),
        p21=True,
        overrides={
            9: ('Electronic thermal O/L relay', '电子热继电器', '0~1000A', '0.1A', '---'),
            300: ('Monitor display selection at power on', '上电监视显示选择', '0~5', '1', '0'),
        },
        windows={n: ('1.00', LATEST) for n in (244, 245)},
        hidden=_identity(301, 360, False) + _FREQ_RESOLUTION + _ALARM_HISTORY,
        readpar=[21, 77, 90, 125, 126, 289, 291],
    ),
    'G': dict(
        numbers=_G, fmax=400, terminals=TERMINALS_ZM, identity=(401, 460),
        current_two_resolution=True,
        windows=dict([(n, ('0.20', LATEST)) for n in
                      [100] + list(range(189, 194)) + list(range(300, 321))
                      + list(range(330, 349))]),
        hidden=(_identity(401, 460, False)
                + [(186, '0', '1', 'rated mode selection (0: ZM rating, 1: ZM-K rating)')]
                + _FREQ_RESOLUTION + _ALARM_HISTORY),
        readpar=[77, 90, 125, 126, 186, 289, 291],
    ),
    'X': dict(
        numbers=_X, fmax=600, terminals=TERMINALS_STD, identity=(401, 460),
        p21=True,
        windows=dict([(n, ('0.60', LATEST)) for n in
                      list(range(178, 186)) + list(range(189, 194))
                      + list(range(300, 319))]),
        versioned={9: [('0.00', '0.59', {}),
                       ('0.60', LATEST, {'en': 'Electronic thermal O/L relay (0: motor rated current)',
                                         'zh': '电子热继电器（0：电机额定电流）'})]},
        hidden=(_identity(401, 460, False) + _ALARM_HISTORY
                + [(406, '0', '1', 'hardware revision', ('0.60', LATEST))]),
        readpar=[21, 77, 126, 289, 291],
    ),
    'T': dict(
        numbers=_T, fmax=600, terminals=TERMINALS_STD, identity=(401, 460),
        p21=True,
        overrides={9: ('Electronic thermal O/L relay (0: rated inverter current)',
                       '电子热继电器（0：变频器额定电流）', '0~500A', '0.01A', '---')},
        windows=dict([(n, ('0.30', LATEST)) for n in range(300, 321)]
                     + [(n, ('0.40', LATEST)) for n in (290, 291)]),
        versioned={72: [('0.00', '0.39', {'range': '0.7~10kHz'}), ('0.40', LATEST, {})]},
        hidden=_identity(401, 460, False) + _ALARM_HISTORY,
        readpar=[21, 77, 90, 126, 289, 291],
    ),
    'L': dict(
        numbers=_L, fmax=600, terminals=TERMINALS_KX, identity=(701, 760),
        p21=True,
        windows=dict([(n, ('0.12', LATEST)) for n in
                      list(range(500, 505)) + list(range(510, 515)) + [520, 521, 530, 531]
                      + list(range(540, 548))]
                     + [(n, ('0.13', LATEST)) for n in range(600, 608)]),
        hidden=_identity(701, 760, False) + _FREQ_RESOLUTION + _ALARM_HISTORY,
        readpar=[21, 77, 125, 126, 289, 291],
    ),
    'A': dict(
        numbers=_A, fmax=600, terminals=TERMINALS_KX, identity=(1401, 1460),
        overrides={
            72: ('PWM carrier frequency', 'PWM载波频率', '1~15kHZ', '1kHz', '---'),
            309: (None, None, '0~65535mΩ,99999', 'mΩ', None),
            310: (None, None, '0~65535mΩ,99999', 'mΩ', None),
            311: (None, None, '0~6553.5mH,99999', 'mH', None),
            312: (None, None, '0~6553.5mH,99999', 'mH', None),
            313: (None, None, '0~65535mΩ,99999', 'mΩ', None),
            318: (None, None, '0~6.5535kg.m2', 'kg.m2', '0.01'),
            339: (None, None, '0~65535mΩ,99999', 'mΩ', None),
            340: (None, None, '0~65535mΩ,99999', 'mΩ', None),
            341: (None, None, '0~6553.5mH,99999', 'mH', None),
            342: (None, None, '0~6553.5mH,99999', 'mH', None),
            343: (None, None, '0~65535mΩ,99999', 'mΩ', None),
            348: (None, None, '0~6.5535kg.m2,99999', 'kg.m2', None),
            1401: ('Voltage class', '电压等级', '1~3', '1', '3'),
            1402: ('Rated capacity', '额定容量', '0~655.34kW', '0.01kW', '0'),
            1403: ('Rated output current', '额定输出电流', '0~655.34A', '0.01A', '0'),
            1404: ('Control board firmware version', '控制板软件版本', '0~655.34', '0.01', '0'),
            1405: ('Operation panel firmware version', '操作面板软件版本', '0~655.34', '0.01', '0'),
            1406: ('Year of manufacture', '出厂年份', '2000~2099', '1', '2024'),
            '99X': ('Parameter function selection', '参数功能选择', '0~6', '1', '0'),
        },
        groups=[
            [90, 188, 990, 77, 79, 37, 259, 160, 161, 21, 187, '99X'] + list(range(540, 548)),
            [0, 1, 2, 3, 7, 8, 9, 13, 14, 18, 19, 20, 29, 72, 31, 71, 97, 98, 99, 91, 92, 93, 94,
             95, 96],
            [4, 5, 6, 24, 25, 26, 27, 80, 81, 82, 83, 84, 85, 86, 142, 15, 16, 28],
            [44, 45, 46, 47, 213, 214, 238, 239],
            [17, 38, 39, 60, 61, 62, 73, 74, 125, 126, 178, 179, 180, 181, 182, 183, 184,
             185, 189, 400, 401, 402, 403, 404, 405, 410, 411, 412, 413, 414, 415, 416,
             417, 241],
            [41, 42, 43, 54, 55, 56, 150, 151, 153, 155, 157, 190, 191, 192, 193, 420, 421,
             422, 76],
            [22, 23, 66, 156, 63, 64, 251, 65, 67, 68, 69, 75, 78, 240],
            [32, 33, 34, 35, 36, 48, 49, 50, 51, 52, 53, 154] + list(range(600, 608)),
            [127, 128, 129, 130, 131, 132, 133, 134] + list(range(440, 448)),
            list(range(101, 109)) + list(range(111, 119)) + [121, 122, 123, 124],
            [10, 11, 12, 152, 244, 30, 70, 57, 58, 162, 163, 250, 135, 136, 137, 138, 139,
             140, 141, 143, 145],
            list(range(300, 321)) + [87, 88, 89, 245, 144],
            list(range(330, 349)),
            [59, 252, 253, 267, 271, 272] + list(range(430, 436)) + list(range(500, 505))
            + list(range(510, 515)) + [520, 521, 530, 531, 170, 171, 100, 288, 289, 290,
                                       291, 292, 293],
            list(range(1401, 1407)),
        ],
        readpar=[21, 77, 125, 126, 289, 291],
    ),
}

# Not-used marker: the series whose drives report an unset value as 99999.
def null_marker(letter):
    return '99999' if FEATURES['readWrite_99999'][COLUMNS.index(letter)] == '1' else '9999'


def _columns(on):
    return tuple('1' if letter in on else '0' for letter in COLUMNS)


# Feature switches (typeInfo.txt), in file order.
FEATURES = {
    'readWrite_99999': _columns('GXTLA'),
    'readWrite_H': _columns('H'),
    'monitorthread_readInverterInfo_F': _columns('F'),
    'monitorthread_readInverterInfo_XGT': _columns('XGT'),
    'monitorthread_readInverterInfo_BCS': _columns('BCS'),
    'monitorthread_readInverterInfo_E': _columns('E'),
    'monitorthread_readInverterInfo_L': _columns('L'),
    'monitorthread_readInverterInfo_H': _columns('H'),
    'monitorthread_readInverterInfo_A': _columns('A'),
    'mainDialPlot_ioState': _columns('FGXTLA'),
    'mainDialPlot_plotComboBox_GF': _columns('FG'),
    'mainAdvPlot_PrComboBox_GF': _columns('FG'),
    'alarmcode_readP187': _columns('FGLA'),
    'alarmcode_errorInfomation': _columns('FGXTLA'),
    'hideparameter_errorInfomation': _columns('FGXTLA'),
    'Navigation_readP187': _columns('FGLA'),
    'Parameter_H': _columns('H'),
    'Parameter_NotH': _columns('BCSEFGXTLA'),
    'Parameter_multiValue': _columns('FGLA'),
    'Parameter_readP186': _columns('G'),
    'Parameter_readP21': _columns('FXTL'),
    'Parameter_writeP125': _columns('BCSEXT'),
    'Parameter_writeP100': _columns('GLA'),
    'Parameter_writeP188': _columns('BCSEFGXTLA'),
    'Parameter_writeP292': _columns('HFGXTLA'),
    'Parameter_writeP164': _columns('CS'),
    'ram_AdressLineEdit': _columns('XTLA'),
}


def feature(key, letter):
    return FEATURES[key][COLUMNS.index(letter)] != '0'


# InvType.mgr: types in dialog order with their power ratings.  A type is the
# model's series code and voltage code; ZM-K types carry the combined name
# "ZM/ZM-K" (the drive runs at either rating), ZM-KX types the name "ZM-KX".
def _k(*values):
    return ['%sK' % v for v in values]


TYPES = [
    ('ZN-020', _k('0.4', '0.75', '1.5', '2.2', '3.7', '5.5', '7.5', '11', '15')),
    ('ZN-040', _k('0.75', '1.5', '2.2', '3.7', '5.5', '7.5', '11', '15', '18.5', '22')),
    ('ZD-021', _k('0.2', '0.4', '0.75', '1.5')),
    ('ZD-043', _k('0.4', '0.75', '1.5', '2.2')),
    ('ZW-021', _k('0.4', '0.75', '1.5', '2.2')),
    ('ZW-023', _k('0.4', '0.75', '1.5', '2.2', '3.7')),
    ('ZW-043', _k('0.4', '0.75', '1.5', '2.2', '3.7', '5.5')),
    ('ZR-023', _k('0.4', '0.75', '1.5', '2.2', '3.7', '5.5', '7.5')),
    ('ZR-043', _k('0.4', '0.75', '1.5', '2.2', '3.7', '5.5', '7.5', '11', '15')),
    ('ZP-021', _k('0.2', '0.4', '0.75', '1.5', '2.2')),
    ('ZP-043', _k('0.4', '0.75', '1.5', '2.2', '3.7', '5.5', '7.5', '11', '15', '18.5',
                  '22')),
    ('ZM-020', _k('5.5', '7.5', '11', '15', '18.5', '22', '30', '37', '45', '55')),
    ('ZM-043', _k('1.5', '2.2', '3.7', '5.5', '7.5', '11', '15', '18.5', '22', '30', '37',
                  '45', '55', '75', '90', '110', '132', '160', '185', '220', '250', '280',
                  '315', '355')),
    ('ZM/ZM-K-043', _k('5.5', '7.5', '11', '15', '18.5', '22', '30', '37', '45', '55', '75',
                       '90', '110', '132') + ['160K/185K', '185K/200K', '200K/220K',
                                              '220K/250K', '250K/280K', '280K/315K']),
    ('ZP2-023', _k('0.4', '0.75', '1.5', '2.2', '3.7', '5.5', '7.5')),
    ('ZP2-043', _k('0.4', '0.75', '1.5', '2.2', '3.7', '5.5', '7.5', '11', '15', '18.5',
                   '22')),
    ('ZR2-023', _k('0.75', '1.5', '2.2', '3.7', '5.5', '7.5', '11', '15')),
    ('ZR2-043', _k('0.75', '1.5', '2.2', '3.7', '5.5', '7.5', '11', '15', '18.5', '22',
                   '30')),
    ('ZM-KX-020', _k('5.5', '7.5', '11', '15', '18.5', '22')),
    ('ZM-KX-043', _k('0.75', '1.5', '2.2', '3.7', '5.5', '7.5', '11', '15', '18.5', '22',
                     '30', '37', '45', '55', '75', '90', '110')),
    ('ZQ1-023', _k('0.75', '1.5', '2.2', '3.7', '5.5', '7.5', '11', '15', '18.5', '22',
                   '30', '37', '45', '55', '75')),
    ('ZQ1-043', _k('0.75', '1.5', '2.2', '3.7', '5.5', '7.5', '11', '15', '18.5', '22',
                   '30', '37', '45', '55', '75', '90', '110', '132', '160', '185', '220',
                   '250', '280', '315')),
]

# The head's power lists: every rating of the range, and the older
# designation without the unit letter.
POWER_OLD = ['0.2', '0.4', '0.75', '1.5', '2.2', '3.7', '5.5', '7.5', '11', '15', '18.5',
             '22']

# Model strings of the demonstration stations, one per series.
MODELS = {
    'H': 'ZN-020-5.5K', 'B': 'ZD-043-0.75K', 'C': 'ZW-023-1.5K', 'S': 'ZR-043-11K',
    'E': 'ZP-043-22K', 'F': 'ZM-043-7.5K', 'G': 'ZM-043-7.5K-K', 'X': 'ZP2-043-2.2K',
    'T': 'ZR2-043-15K', 'L': 'ZM-043-5.5K-KX', 'A': 'ZQ1-043-5.5K',
}
DUAL_RATED_MODELS = {'G': 'ZM-043-185K/200K-K'}

# Highest parameter number a batch read covers (INVParameter_num.txt).
BATCH_READ_LAST = {
    'A': 990, 'B': 188, 'C': 191, 'E': 251, 'F': 300, 'G': 348, 'H': 301, 'L': 607,
    'S': 253, 'T': 320, 'X': 318,
}

HIDDEN_FILES = {
    'B': 'ZDHideParameter.xml', 'C': 'ZWHideParameter.xml', 'E': 'ZPHideParameter.xml',
    'F': 'ZMHideParameter.xml', 'G': 'ZM-KHideParameter.xml', 'H': 'ZNHideParameter.xml',
    'L': 'ZM-KXHideParameter.xml', 'S': 'ZRHideParameter.xml', 'T': 'ZR2HideParameter.xml',
    'X': 'ZP2HideParameter.xml',
}
