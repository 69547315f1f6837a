#pragma once

// The register map of the simulated drive beyond its parameters (P.n is
// register n). The function table InvType/FNC.txt addresses these; the native
// protocol reaches them through the instruction codes below.
namespace SimRegisters {
constexpr int Mode = 0x1000;              // 0 CU, 1 EXT, 2 JOG
constexpr int Status = 0x1001;            // status word
constexpr int AlarmWord = 0x1002;         // newest alarm (low byte), the one before (high)
constexpr int AlarmWord2 = 0x1003;        // third (low) and fourth (high) alarm
constexpr int FrequencyCommand = 0x1004;  // 0.01 Hz
constexpr int Control = 0x1005;           // 0 stop, 2 forward, 4 reverse, 0x80 alarm reset
constexpr int ParameterFunction = 0x1010; // 0x91, 0x92, 0x96..0x99: P.991 ... P.999
constexpr int Selector = 0x1020;          // quantity chosen for SelectedValue
constexpr int SelectedValue = 0x1021;
constexpr int MonitorBase = 0x1100;       // +0 output frequency, +1 output voltage,
                                          // +2 output current, +3 target frequency,
                                          // +12 status word
constexpr int RamBase1 = 0x9000;          // two windows of drive memory, 0x1000 each
constexpr int RamBase2 = 0xD000;
constexpr int RamSize = 0x1000;

// Alarm history: write item 1..7 to 290, read it from 291; write history
// number n to 288, read its alarm number from 289; run time in 292 (minutes)
// and 293 (days), or 164/165 on ZR and ZW; series ZQ keeps the newest alarm's
// items in 752..758 and the one before in 766..772.
constexpr int HistorySelect = 288;
constexpr int HistoryAlarm = 289;
constexpr int ItemSelect = 290;
constexpr int ItemValue = 291;

// Selector values: the quantity IDs written by the M?W functions.
enum Quantity {
    Analog25 = 0x04,
    Analog45 = 0x05,
    AnalogOutAM = 0x06,
    DcBus = 0x07,
    ThermalRecord = 0x08,
    TemperatureRate = 0x09,
    TerminalInputs = 0x0A,
    TerminalOutputs = 0x0B,
    StatusWordQuantity = 0x0C,
    MotorThermal = 0x0D,
    PidTarget = 0x0E,
    PidFeedback = 0x0F,
    PgSpeed = 0x10,
    HdiFrequency = 0x11,
    Analog15 = 0x12,
    AnalogOutAM2 = 0x13,
    OutputTorque = 0x14,
    Analog35 = 0x15,
    OutputPower = 0x19,
    ModuleTemperature = 0x1A,
};

// Native protocol: instruction codes below 0x64 (reads) and 0x80..0xE3
// (writes; group 9 reaches on to register 1011) address the selected group of
// registers; these reach the function registers. A register that is read and
// written has write code = read code + 0x80.
struct NativeCode {
    int code;
    int address;
};
constexpr NativeCode kNativeReads[] = {
    {0x7B, Mode},          {0x7A, Status},         {0x79, AlarmWord},
    {0x78, AlarmWord2},    {0x77, FrequencyCommand}, {0x75, Control},
    {0x7C, ParameterFunction}, {0x71, Selector},   {0x72, SelectedValue},
    {0x64, MonitorBase + 0}, {0x65, MonitorBase + 1}, {0x66, MonitorBase + 2},
    {0x67, MonitorBase + 3}, {0x70, MonitorBase + 12},
};
constexpr NativeCode kNativeWrites[] = {
    {0xFB, Mode},    {0xF7, FrequencyCommand}, {0xF5, Control},
    {0xFC, ParameterFunction}, {0xF1, Selector},
};
constexpr int kNativeGroupSelect = 0xFF;
constexpr int kNativeGroupConfirm = 0x7F;
}  // namespace SimRegisters
