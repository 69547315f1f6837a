"""Master parameter table of the drive range.

Every series picks its parameters from this table by number and may override
single fields (see series.py).  A row is

    number: (English name, simplified Chinese name, range, unit, default)

Place holders filled per series:
    {NS}    the "not used" marker value: 9999, or 99999 for the series whose
            drives report an unset value as 99999
    {FMAX}  highest output frequency of the series in Hz
    {T}     terminal name of a terminal function parameter (see TERMINALS)

Defaults are plain numbers.  "---" marks a default that depends on the drive's
capacity: the program computes it from the model string.
"""

# Terminal function parameters: number -> position in the series' terminal list.
TERMINAL_INPUTS = (178, 179, 180, 181, 182, 183, 184, 185, 189)
TERMINAL_OUTPUTS = (190, 191, 192, 193)

# Default function codes of the terminals, in the order of the lists above.
TERMINAL_INPUT_DEFAULTS = ('37', '38', '0', '1', '2', '30', '3', '4', '24')
TERMINAL_OUTPUT_DEFAULTS = ('1', '15', '0', '4')


def _fill(table):
    rows = {}
    for row in table:
        number = row[0]
        if number in rows:
            raise ValueError('parameter %d twice in the master table' % number)
        rows[number] = tuple(row[1:])
    return rows


def _multi_speeds():
    names = {
        4: ('high speed', '高速'), 5: ('middle speed', '中速'), 6: ('low speed', '低速'),
    }
    rows = []
    for number, (en, zh) in names.items():
        default = {4: '50', 5: '30', 6: '10'}[number]
        rows.append((number, 'Multi-speed setting (%s)' % en, '多段速度设定（%s）' % zh,
                     '0~{FMAX}Hz', '0.01Hz', default))
    speeds = [(24, 4), (25, 5), (26, 6), (27, 7), (80, 8), (81, 9), (82, 10),
              (83, 11), (84, 12), (85, 13), (86, 14), (142, 15)]
    for number, speed in speeds:
        rows.append((number, 'Multi-speed setting (speed %d)' % speed,
                     '多段速度设定（第%d速）' % speed, '0~{FMAX}Hz,{NS}', '0.01Hz', '{NS}'))
    return rows


def _frequency_jumps():
    rows = []
    for index, number in enumerate(range(91, 97)):
        label = '%d%s' % (index // 2 + 1, 'AB'[index % 2])
        rows.append((number, 'Frequency jump %s' % label, '频率跳跃%s' % label,
                     '0~{FMAX}Hz,{NS}', '0.01Hz', '{NS}'))
    return rows


def _programmed_operation():
    rows = []
    for step in range(1, 9):
        rows.append((100 + step, 'Programmed operation step %d time' % step,
                     '程序运行第%d段时间' % step, '0~6000s', '0.1s', '0'))
        rows.append((110 + step, 'Programmed operation step %d acceleration/deceleration time' % step,
                     '程序运行第%d段加减速时间' % step, '0~3600s', '0.1s', '5'))
    return rows


def _terminal_functions():
    rows = []
    for number, default in zip(TERMINAL_INPUTS, TERMINAL_INPUT_DEFAULTS):
        rows.append((number, '{T} terminal function selection', '{T}端子功能选择',
                     '0~40', '1', default))
    for number, default in zip(TERMINAL_OUTPUTS, TERMINAL_OUTPUT_DEFAULTS):
        rows.append((number, '{T} terminal function selection', '{T}端子功能选择',
                     '0~40,99', '1', default))
    return rows


def _motor_constants():
    """Motor 1 at 300 to 320, motor 2 at 330 to 348 (the same layout, 30 apart)."""
    motor = [
        (0, 'control method selection', '控制方式选择', '0~3', '1', '0'),
        (1, 'auto-tuning selection', '自动调谐选择', '0~3', '1', '0'),
        (2, 'rated power', '额定功率', '0~650kW', '0.01kW', '0'),
        (3, 'number of poles', '极数', '2~16', '1', '4'),
        (4, 'rated voltage', '额定电压', '0~1000V', '1V', '380'),
        (5, 'rated frequency', '额定频率', '0~{FMAX}Hz', '0.01Hz', '50'),
        (6, 'rated current', '额定电流', '0~500A', '0.01A', '0'),
        (7, 'rated speed', '额定转速', '0~9998r/min', '1r/min', '1440'),
        (8, 'no-load current', '空载电流', '0~500A', '0.01A', '0'),
        (9, 'stator resistance', '定子电阻', '0~6553.4mΩ,{NS}', '0.1mΩ', '{NS}'),
        (10, 'rotor resistance', '转子电阻', '0~6553.4mΩ,{NS}', '0.1mΩ', '{NS}'),
        (11, 'leakage inductance', '漏感', '0~6553.4mH,{NS}', '0.1mH', '{NS}'),
        (12, 'mutual inductance', '互感', '0~6553.4mH,{NS}', '0.1mH', '{NS}'),
        (13, 'iron loss resistance', '铁损电阻', '0~6553.4mΩ,{NS}', '0.1mΩ', '{NS}'),
        (14, 'speed control proportional gain', '速度控制比例增益', '0~200%', '0.1%', '60'),
        (15, 'speed control integral time', '速度控制积分时间', '0~20s', '0.001s', '0.333'),
        (16, 'torque limit level', '转矩限制水准', '0~400%', '0.1%', '150'),
        (17, 'excitation current ratio', '励磁电流比率', '0~100%', '0.1%', '40'),
        (18, 'moment of inertia', '转动惯量', '0~655.34kg.m2,{NS}', '0.01kg.m2', '{NS}'),
    ]
    rows = []
    for base, en_motor, zh_motor in ((300, 'Motor', '电机'), (330, 'Second motor', '第二电机')):
        for offset, en, zh, rng, unit, default in motor:
            rows.append((base + offset, '%s %s' % (en_motor, en), zh_motor + zh, rng, unit, default))
    rows.append((319, 'Speed/torque control switchover', '速度/转矩控制切换', '0~2', '1', '0'))
    rows.append((320, 'Torque command filter time', '转矩指令滤波时间', '0~1s', '0.001s', '0.02'))
    return rows


MASTER = _fill([
    (0, 'Torque boost', '转矩提升', '0~30%', '0.1%', '---'),
    (1, 'Maximum frequency', '上限频率', '0~120Hz', '0.01Hz', '120'),
    (2, 'Minimum frequency', '下限频率', '0~120Hz', '0.01Hz', '0'),
    (3, 'Base frequency', '基底频率', '0~{FMAX}Hz', '0.01Hz', '50'),
    (7, 'Acceleration time', '加速时间', '0~3600s', '0.1s', '5'),
    (8, 'Deceleration time', '减速时间', '0~3600s', '0.1s', '5'),
    (9, 'Electronic thermal O/L relay', '电子热继电器', '0~500A', '0.01A', '---'),
    (10, 'DC injection brake operation frequency', '直流制动动作频率', '0~120Hz', '0.01Hz', '3'),
    (11, 'DC injection brake operation time', '直流制动动作时间', '0~60s', '0.1s', '0.5'),
    (12, 'DC injection brake voltage', '直流制动电压', '0~30%', '0.1%', '4'),
    (13, 'Starting frequency', '启动频率', '0~60Hz', '0.01Hz', '0.5'),
    (14, 'Load pattern selection', '适用负载选择', '0~3', '1', '0'),
    (15, 'JOG frequency', '点动频率', '0~{FMAX}Hz', '0.01Hz', '5'),
    (16, 'JOG acceleration/deceleration time', '点动加减速时间', '0~360s', '0.1s', '0.5'),
    (17, 'Terminal 4-5 input selection', '4-5端子输入选择', '0,1', '1', '0'),
    (18, 'High-speed maximum frequency', '高速上限频率', '120~{FMAX}Hz', '0.01Hz', '120'),
    (19, 'Base frequency voltage', '基底频率电压', '0~1000V,{NS}', '0.1V', '{NS}'),
    (20, 'Acceleration/deceleration reference frequency', '加减速基准频率', '1~{FMAX}Hz', '0.01Hz', '50'),
    (21, 'Acceleration/deceleration time increments', '加减速时间单位', '0,1', '1', '0'),
    (22, 'Stall prevention operation level', '失速防止动作水准', '0~250%', '0.1%', '150'),
    (23, 'Stall prevention level compensation at double speed', '倍速时失速防止动作水准补正',
     '0~200%,{NS}', '0.1%', '{NS}'),
    (28, 'Multi-speed input compensation selection', '多段速输入补偿选择', '0,1', '1', '0'),
    (29, 'Acceleration/deceleration pattern selection', '加减速曲线选择', '0~3', '1', '0'),
    (30, 'Regenerative brake function selection', '再生制动功能选择', '0~2', '1', '0'),
    (31, 'Soft-PWM selection', '柔性PWM选择', '0,1', '1', '1'),
    (32, 'Serial communication baud rate', '串行通讯波特率', '0~5', '1', '1'),
    (33, 'Communication protocol selection', '通讯协议选择', '0,1', '1', '1'),
    (34, 'Communication error action selection', '通讯异常动作选择', '0~3', '1', '0'),
    (35, 'Communication EEPROM write selection', '通讯EEPROM写入选择', '0,1', '1', '0'),
    (36, 'Inverter station number', '变频器站号', '0~254', '1', '0'),
    (37, 'Speed display', '速度显示', '0~9998', '1', '0'),
    (38, 'Frequency at 5V (10V) input', '5V（10V）输入时频率', '1~{FMAX}Hz', '0.01Hz', '50'),
    (39, 'Frequency at 20mA input', '20mA输入时频率', '1~{FMAX}Hz', '0.01Hz', '50'),
    (41, 'Up-to-frequency sensitivity', '频率到达动作范围', '0~100%', '0.1%', '10'),
    (42, 'Output frequency detection', '输出频率检测', '0~{FMAX}Hz', '0.01Hz', '6'),
    (43, 'Output frequency detection for reverse rotation', '反转时输出频率检测',
     '0~{FMAX}Hz,{NS}', '0.01Hz', '{NS}'),
    (44, 'Second acceleration time', '第二加速时间', '0~3600s', '0.1s', '5'),
    (45, 'Second deceleration time', '第二减速时间', '0~3600s,{NS}', '0.1s', '{NS}'),
    (46, 'Second torque boost', '第二转矩提升', '0~30%,{NS}', '0.1%', '{NS}'),
    (47, 'Second base frequency', '第二基底频率', '0~{FMAX}Hz,{NS}', '0.01Hz', '{NS}'),
    (48, 'Data length', '数据长度', '0,1', '1', '1'),
    (49, 'Stop bit length', '停止位长度', '0,1', '1', '0'),
    (50, 'Parity check selection', '奇偶校验选择', '0~2', '1', '0'),
    (51, 'CR/LF selection', 'CR/LF选择', '0~2', '1', '1'),
    (52, 'Number of communication retries', '通讯重试次数', '0~10', '1', '1'),
    (53, 'Communication check time interval', '通讯校验时间间隔', '0~999.8s,{NS}', '0.1s', '{NS}'),
    (54, 'AM terminal function selection', 'AM端子功能选择', '0~3', '1', '0'),
    (55, 'Frequency monitoring reference', '频率监视基准', '0~{FMAX}Hz', '0.01Hz', '50'),
    (56, 'Current monitoring reference', '电流监视基准', '0~500A', '0.01A', '0'),
    (57, 'Restart coasting time', '再启动自由运行时间', '0~30s,{NS}', '0.1s', '{NS}'),
    (58, 'Restart cushion time', '再启动上升时间', '0~60s', '0.1s', '10'),
    (59, 'Remote setting function selection', '遥控设定功能选择', '0~3', '1', '0'),
    (60, 'Input signal filter constant', '输入信号滤波常数', '0~31', '1', '4'),
    (61, 'Terminal 2-5 bias frequency', '2-5端子偏置频率', '0~60Hz', '0.01Hz', '0'),
    (62, 'Terminal 4-5 bias frequency', '4-5端子偏置频率', '0~60Hz', '0.01Hz', '0'),
    (63, 'Ground fault detection at start', '启动时接地检测选择', '0,1', '1', '1'),
    (64, 'Output phase loss detection', '输出缺相检测选择', '0,1', '1', '1'),
    (65, 'Retry selection', '再试选择', '0~4', '1', '0'),
    (66, 'Stall prevention reduction starting frequency', '失速防止动作降低开始频率',
     '0~{FMAX}Hz', '0.01Hz', '50'),
    (67, 'Number of retries at alarm occurrence', '异常发生时再试次数', '0~10', '1', '0'),
    (68, 'Retry waiting time', '再试等待时间', '0~360s', '0.1s', '1'),
    (69, 'Retry count display erase', '再试次数显示清除', '0', '1', '0'),
    (70, 'Special regenerative brake duty', '特殊再生制动使用率', '0~30%', '0.1%', '0'),
    (71, 'Applied motor', '适用电机', '0~5', '1', '0'),
    (72, 'PWM carrier frequency', 'PWM载波频率', '0.7~15kHz', '0.1kHz', '5'),
    (73, 'Terminal 2-5 voltage range selection', '2-5端子电压范围选择', '0,1', '1', '1'),
    (74, 'Terminal 2-5 input filter time', '2-5端子输入滤波时间', '0~2s', '0.01s', '0.05'),
    (75, 'Reset selection/stop key selection', '复位选择/停止键选择', '0~3', '1', '1'),
    (76, 'Alarm code output selection', '异常代码输出选择', '0~2', '1', '0'),
    (77, 'Parameter write disable selection', '参数写入禁止选择', '0~2', '1', '0'),
    (78, 'Reverse rotation prevention selection', '逆转防止选择', '0~2', '1', '0'),
    (79, 'Operation mode selection', '操作模式选择', '0~8', '1', '0'),
    (87, 'Slip compensation gain', '滑差补偿增益', '0~10', '0.01', '---'),
    (88, 'Slip compensation time constant', '滑差补偿时间常数', '0.01~10s', '0.01s', '0.5'),
    (89, 'Constant-output region slip compensation selection', '恒功率区滑差补偿选择',
     '0,{NS}', '1', '{NS}'),
    (90, 'Inverter model code', '变频器机种代码', '0~65534', '1', '0'),
    (97, 'V/F middle frequency', 'V/F中间频率', '0~{FMAX}Hz,{NS}', '0.01Hz', '{NS}'),
    (98, 'V/F middle voltage', 'V/F中间电压', '0~100%', '0.1%', '10'),
    (99, 'Output voltage limit', '输出电压上限', '0~1000V,{NS}', '0.1V', '{NS}'),
    (100, 'Cumulative power', '累计电量', '0~65534kWh', '1kWh', '0'),
    (121, 'Programmed operation mode', '程序运行模式', '0~3', '1', '0'),
    (122, 'Programmed operation repeat count', '程序运行重复次数', '0~999', '1', '0'),
    (123, 'Programmed operation direction', '程序运行方向', '0~255', '1', '0'),
    (124, 'Programmed operation restart selection', '程序运行再启动选择', '0,1', '1', '0'),
    (125, 'Terminal 2-5 gain calibration', '2-5端子增益校正值', '0~200%', '0.1%', '100'),
    (126, 'Terminal 4-5 gain calibration', '4-5端子增益校正值', '0~200%', '0.1%', '100'),
    (127, 'PID control automatic switchover frequency', 'PID控制自动切换频率',
     '0~{FMAX}Hz,{NS}', '0.01Hz', '{NS}'),
    (128, 'PID action selection', 'PID动作选择', '0~4', '1', '0'),
    (129, 'PID proportional band', 'PID比例带', '0.1~1000%,{NS}', '0.1%', '100'),
    (130, 'PID integral time', 'PID积分时间', '0.1~3600s,{NS}', '0.1s', '1'),
    (131, 'PID upper limit', 'PID上限', '0~100%,{NS}', '0.1%', '{NS}'),
    (132, 'PID lower limit', 'PID下限', '0~100%,{NS}', '0.1%', '{NS}'),
    (133, 'PID action set point', 'PID动作目标值', '0~100%', '0.01%', '0'),
    (134, 'PID differential time', 'PID微分时间', '0.01~10s,{NS}', '0.01s', '{NS}'),
    (135, 'Brake sequence function selection', '制动序列功能选择', '0,1', '1', '0'),
    (136, 'Brake opening frequency', '制动器开启频率', '0~30Hz', '0.01Hz', '3'),
    (137, 'Brake opening current', '制动器开启电流', '0~200%', '0.1%', '130'),
    (138, 'Brake opening current detection time', '制动器开启电流检测时间', '0~2s', '0.1s', '0.3'),
    (139, 'Brake operation time at start', '启动时制动器动作时间', '0~5s', '0.1s', '0.3'),
    (140, 'Backlash acceleration stopping frequency', '齿隙补偿加速停止频率',
     '0~{FMAX}Hz', '0.01Hz', '1'),
    (141, 'Backlash acceleration stopping time', '齿隙补偿加速停止时间', '0~360s', '0.1s', '0.5'),
    (143, 'Backlash deceleration stopping frequency', '齿隙补偿减速停止频率',
     '0~{FMAX}Hz', '0.01Hz', '1'),
    (144, 'Speed setting switchover', '速度设定切换', '0~10', '1', '4'),
    (145, 'Backlash deceleration stopping time', '齿隙补偿减速停止时间', '0~360s', '0.1s', '0.5'),
    (150, 'Output current detection level', '输出电流检测水准', '0~250%', '0.1%', '150'),
    (151, 'Output current detection signal delay time', '输出电流检测信号延迟时间',
     '0~10s', '0.1s', '0'),
    (152, 'Second DC injection brake voltage', '第二直流制动电压', '0~30%', '0.1%', '4'),
    (153, 'Zero current detection level', '零电流检测水准', '0~200%', '0.1%', '5'),
    (154, 'Modbus communication format', 'Modbus通讯格式', '0~3', '1', '2'),
    (155, 'Zero current detection time', '零电流检测时间', '0~1s', '0.01s', '0.5'),
    (156, 'Stall prevention operation selection', '失速防止动作选择', '0~31', '1', '0'),
    (157, 'OL signal output timer', 'OL信号输出延时', '0~25s,{NS}', '0.1s', '0'),
    (158, 'AM2 terminal function selection', 'AM2端子功能选择', '0~3', '1', '1'),
    (159, 'Second electronic thermal O/L relay', '第二电子热继电器', '0~500A,{NS}', '0.01A', '{NS}'),
    (160, 'User group read selection', '用户参数组读取选择', '0~2', '1', '0'),
    (161, 'Frequency setting/key lock operation selection', '频率设定/键盘锁定选择', '0,1', '1', '0'),
    (162, 'Automatic restart after instantaneous power failure', '瞬时停电再启动选择',
     '0~2', '1', '0'),
    (163, 'First cushion time for restart', '再启动第一缓冲时间', '0~20s', '0.1s', '0'),
    (164, 'Accumulated operation time (minutes)', '累计运行时间（分）', '0~1439min', '1min', '0'),
    (165, 'Accumulated operation time (days)', '累计运行时间（天）', '0~9998day', '1day', '0'),
    (170, 'Watt-hour meter clear', '电度表清零', '0,10', '1', '0'),
    (171, 'Operation hour meter clear', '运行时间计清零', '0', '1', '0'),
    (186, 'Rated mode selection', '额定模式选择', '0,1', '1', '0'),
    (187, 'Communication frequency command resolution', '通讯频率指令分辨率', '0,1', '1', '0'),
    (188, 'Firmware version', '软件版本', '0~655.34', '0.01', '0'),
    (199, 'Firmware version', '软件版本', '0~655.34', '0.01', '0'),
    (213, 'Third acceleration time', '第三加速时间', '0~3600s,{NS}', '0.1s', '{NS}'),
    (214, 'Third deceleration time', '第三减速时间', '0~3600s,{NS}', '0.1s', '{NS}'),
    (238, 'Emergency stop deceleration time', '紧急停止减速时间', '0~3600s', '0.1s', '5'),
    (239, 'Power failure deceleration time', '停电减速时间', '0~3600s,{NS}', '0.1s', '{NS}'),
    (240, 'Cooling fan operation selection', '冷却风扇动作选择', '0,1', '1', '1'),
    (241, 'Analog input display unit switchover', '模拟输入显示单位切换', '0,1', '1', '0'),
    (244, 'Start-time DC injection brake voltage', '启动时直流制动电压', '0~30%', '0.1%', '4'),
    (245, 'Rated motor slip', '电机额定滑差', '0~50%,{NS}', '0.01%', '{NS}'),
    (250, 'Stop selection', '停止方式选择', '0,1', '1', '0'),
    (251, 'Input phase loss protection selection', '输入缺相保护选择', '0,1', '1', '1'),
    (252, 'Override bias', '倍率偏置', '0~200%', '0.1%', '50'),
    (253, 'Override gain', '倍率增益', '0~200%', '0.1%', '150'),
    (259, 'Speed display unit selection', '速度显示单位选择', '0,1', '1', '0'),
    (267, 'Torque command source selection', '转矩指令来源选择', '0~20', '1', '0'),
    (271, 'Torque command upper limit', '转矩指令上限', '0~400%', '0.1%', '150'),
    (272, 'Torque command lower limit', '转矩指令下限', '0~400%', '0.1%', '0'),
    (288, 'Alarm history number selection', '异常履历序号选择', '1~12', '1', '1'),
    (289, 'Alarm history code', '异常履历代码', '0~255', '1', '0'),
    (290, 'Alarm data item selection', '异常数据项目选择', '1~7', '1', '1'),
    (291, 'Alarm data value', '异常数据值', '0~655.34', '0.01', '0'),
    (292, 'Accumulated motor operation time (minutes)', '电机累计运行时间（分）',
     '0~1439min', '1min', '0'),
    (293, 'Accumulated motor operation time (days)', '电机累计运行时间（天）',
     '0~9998day', '1day', '0'),
    # Extended terminals and applications of the large drives.
    (400, 'HDI terminal function selection', 'HDI端子功能选择', '0~3', '1', '0'),
    (401, 'HDI maximum input frequency', 'HDI最大输入频率', '0~100kHz', '0.01kHz', '50'),
    (402, 'HDI minimum input frequency', 'HDI最小输入频率', '0~100kHz', '0.01kHz', '0'),
    (403, 'Frequency at HDI maximum input', 'HDI最大输入时频率', '0~{FMAX}Hz', '0.01Hz', '50'),
    (404, 'Frequency at HDI minimum input', 'HDI最小输入时频率', '0~{FMAX}Hz', '0.01Hz', '0'),
    (405, 'HDI input filter time', 'HDI输入滤波时间', '0~2s', '0.01s', '0.1'),
    (410, 'Terminal 1-5 function selection', '1-5端子功能选择', '0~3', '1', '0'),
    (411, 'Terminal 1-5 gain frequency', '1-5端子增益频率', '0~{FMAX}Hz', '0.01Hz', '50'),
    (412, 'Terminal 1-5 bias frequency', '1-5端子偏置频率', '0~{FMAX}Hz', '0.01Hz', '0'),
    (413, 'Terminal 1-5 input filter time', '1-5端子输入滤波时间', '0~2s', '0.01s', '0.05'),
    (414, 'Terminal 1-5 voltage range selection', '1-5端子电压范围选择', '0,1', '1', '1'),
    (415, 'Terminal 3-5 function selection', '3-5端子功能选择', '0~3', '1', '0'),
    (416, 'Terminal 3-5 gain frequency', '3-5端子增益频率', '0~{FMAX}Hz', '0.01Hz', '50'),
    (417, 'Terminal 3-5 bias frequency', '3-5端子偏置频率', '0~{FMAX}Hz', '0.01Hz', '0'),
    (420, 'AM2 terminal function selection', 'AM2端子功能选择', '0~6', '1', '1'),
    (421, 'AM2 output gain', 'AM2输出增益', '0~200%', '0.1%', '100'),
    (422, 'AM2 output bias', 'AM2输出偏置', '0~100%', '0.1%', '0'),
    (430, 'PG pulses per revolution', 'PG每转脉冲数', '1~9998', '1', '1024'),
    (431, 'PG rotation direction', 'PG旋转方向', '0,1', '1', '0'),
    (432, 'PG disconnection detection time', 'PG断线检测时间', '0~10s', '0.1s', '1'),
    (433, 'Overspeed detection level', '超速检测水准', '0~{FMAX}Hz,{NS}', '0.01Hz', '{NS}'),
    (434, 'Speed deviation detection level', '速度偏差检测水准', '0~50%', '0.1%', '10'),
    (435, 'Speed deviation detection time', '速度偏差检测时间', '0~10s', '0.1s', '1'),
    (440, 'Second PID action selection', '第二PID动作选择', '0~4', '1', '0'),
    (441, 'Second PID feedback source selection', '第二PID反馈来源选择', '0~3', '1', '0'),
    (442, 'Second PID action set point', '第二PID动作目标值', '0~100%', '0.01%', '0'),
    (443, 'Second PID proportional band', '第二PID比例带', '0.1~1000%,{NS}', '0.1%', '100'),
    (444, 'Second PID integral time', '第二PID积分时间', '0.1~3600s,{NS}', '0.1s', '1'),
    (445, 'Second PID differential time', '第二PID微分时间', '0.01~10s,{NS}', '0.01s', '{NS}'),
    (446, 'Second PID upper limit', '第二PID上限', '0~100%,{NS}', '0.1%', '{NS}'),
    (447, 'Second PID lower limit', '第二PID下限', '0~100%,{NS}', '0.1%', '{NS}'),
    (500, 'Sleep function selection', '休眠功能选择', '0,1', '1', '0'),
    (501, 'Sleep frequency', '休眠频率', '0~{FMAX}Hz', '0.01Hz', '10'),
    (502, 'Sleep delay time', '休眠延迟时间', '0~3600s', '0.1s', '60'),
    (503, 'Wake-up level', '唤醒水准', '0~100%', '0.1%', '90'),
    (504, 'Wake-up delay time', '唤醒延迟时间', '0~3600s', '0.1s', '5'),
    (510, 'Traverse function selection', '摆频功能选择', '0,1', '1', '0'),
    (511, 'Traverse amplitude', '摆频幅度', '0~25%', '0.1%', '10'),
    (512, 'Traverse jump frequency', '摆频突跳频率', '0~50%', '0.1%', '10'),
    (513, 'Traverse rise time', '摆频上升时间', '0.1~3600s', '0.1s', '5'),
    (514, 'Traverse fall time', '摆频下降时间', '0.1~3600s', '0.1s', '5'),
    (520, 'Emergency run mode selection', '紧急运行模式选择', '0~2', '1', '0'),
    (521, 'Emergency run frequency', '紧急运行频率', '0~{FMAX}Hz', '0.01Hz', '50'),
    (530, 'Energy saving control selection', '节能控制选择', '0,1', '1', '0'),
    (531, 'Energy saving gain', '节能增益', '0~200%', '0.1%', '100'),
] + [
    (540 + i, 'User group parameter %d' % (i + 1), '用户参数组第%d项' % (i + 1), '0~999,{NS}', '1',
     '{NS}') for i in range(8)
] + [
    (600, 'Communication read mapping 1', '通讯读取映射1', '0~1599', '1', '0'),
    (601, 'Communication read mapping 2', '通讯读取映射2', '0~1599', '1', '0'),
    (602, 'Communication read mapping 3', '通讯读取映射3', '0~1599', '1', '0'),
    (603, 'Communication read mapping 4', '通讯读取映射4', '0~1599', '1', '0'),
    (604, 'Communication write mapping 1', '通讯写入映射1', '0~1599', '1', '0'),
    (605, 'Communication write mapping 2', '通讯写入映射2', '0~1599', '1', '0'),
    (606, 'Communication write mapping 3', '通讯写入映射3', '0~1599', '1', '0'),
    (607, 'Communication write mapping 4', '通讯写入映射4', '0~1599', '1', '0'),
    (990, 'Parameter display mode', '参数显示模式', '0,1', '1', '0'),
    # Parameter functions: run by their own buttons, never written as values.
    (996, 'Alarm history clear', '异常履历清除', '1', '1', '0'),
    (997, 'Inverter reset', '变频器复位', '1', '1', '0'),
    (998, 'All parameter clear', '参数全部清除', '1', '1', '0'),
    (999, 'Parameter clear', '参数清除', '1', '1', '0'),
] + _multi_speeds() + _frequency_jumps() + _programmed_operation()
    + _terminal_functions() + _motor_constants())
