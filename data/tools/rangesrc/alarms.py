"""Alarm numbers of the whole range and the alarm lamps each series shows.

An alarm number means the same fault in every series; the drive reports it in
the low byte of its alarm word and in the alarm history.  Number 112 is the
brake circuit fault; the small drives ZD, ZP and ZP2 call it "BI" (brake
transistor), the program substitutes that name for them.
"""

# number: (abbreviation, description); abbreviations carry no "-".
ALARMS = {
    16: ('OC1', 'Overcurrent during acceleration'),
    17: ('OC2', 'Overcurrent at constant speed'),
    18: ('OC3', 'Overcurrent during deceleration'),
    19: ('OC0', 'Overcurrent while stopped'),
    32: ('OV1', 'Overvoltage during acceleration'),
    33: ('OV2', 'Overvoltage at constant speed'),
    34: ('OV3', 'Overvoltage during deceleration'),
    35: ('OV0', 'Overvoltage while stopped'),
    48: ('THT', 'Inverter overload (transistor thermal)'),
    49: ('THN', 'Motor overload (electronic thermal)'),
    50: ('OLS', 'Stall prevention stop'),
    64: ('UV', 'Undervoltage of the DC bus'),
    65: ('IPF', 'Instantaneous power failure'),
    66: ('ILF', 'Input phase loss'),
    67: ('OLF', 'Output phase loss'),
    80: ('GF', 'Ground fault on the output side'),
    81: ('SC', 'Output short circuit'),
    82: ('HDC', 'Hardware overcurrent detection'),
    96: ('OHT', 'External thermal relay tripped'),
    97: ('FIN', 'Heat sink overheat'),
    98: ('FAN', 'Cooling fan fault'),
    99: ('NTC', 'Heat sink thermistor open'),
    112: ('BE', 'Brake circuit fault'),
    113: ('BR', 'Braking resistor overheat'),
    128: ('CPU', 'CPU fault'),
    129: ('EEP', 'EEPROM fault'),
    130: ('PAR', 'Parameter data fault'),
    131: ('ADE', 'Analog to digital converter fault'),
    132: ('WDT', 'Watchdog timeout'),
    144: ('CE', 'Communication timeout'),
    145: ('PUE', 'Operation panel disconnected'),
    146: ('OPT', 'Option card fault'),
    160: ('AIE', 'Analog input signal loss'),
    161: ('PID', 'PID feedback loss'),
    162: ('RET', 'Retry count exceeded'),
    176: ('PGE', 'PG feedback disconnected'),
    177: ('OS', 'Overspeed'),
    178: ('OSD', 'Speed deviation excessive'),
    179: ('TUN', 'Auto tuning fault'),
    192: ('CDO', 'Output current detection'),
    193: ('OT', 'Overtorque detection'),
    194: ('ULD', 'Underload detection'),
    208: ('MOH', 'Motor overheat (PTC thermistor)'),
    209: ('SAF', 'Safety stop input open'),
}

BASIC = [16, 17, 18, 32, 33, 34, 48, 49, 64, 96, 128, 129]
SMALL = BASIC + [19, 35, 65, 80, 112, 144]
MIDDLE = SMALL + [50, 66, 67, 97, 130, 145, 160, 162]
LARGE = MIDDLE + [81, 82, 98, 99, 113, 131, 132, 146, 161, 192, 193]
VECTOR = LARGE + [176, 177, 178, 179, 194, 208]
FULL = VECTOR + [209]

# Series letter -> [(lowest version, highest version (exclusive), alarm numbers)].
LAMPS = {
    'H': [('0', '100', BASIC + [19, 35, 65, 80, 144])],
    'B': [('0', '100', SMALL)],
    'C': [('0', '0.3', SMALL), ('0.3', '100', SMALL + [50, 66, 67])],
    'S': [('0', '1.1', MIDDLE), ('1.1', '100', MIDDLE + [81, 98])],
    'E': [('0', '1', MIDDLE + [161]), ('1', '100', MIDDLE + [113, 161])],
    'F': [('0', '100', LARGE)],
    'G': [('0', '0.2', LARGE), ('0.2', '100', VECTOR)],
    'X': [('0', '0.6', MIDDLE + [161]), ('0.6', '100', LARGE + [179])],
    'T': [('0', '0.4', LARGE), ('0.4', '100', VECTOR)],
    'L': [('0', '0.12', VECTOR), ('0.12', '100', FULL)],
    'A': [('0', '100', FULL)],
}

# Series whose lamp for alarm 112 carries the substituted name.
BRAKE_TRANSISTOR_NAME = 'BI'
BRAKE_TRANSISTOR_SERIES = ('B', 'E', 'X')
