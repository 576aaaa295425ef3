#include "commandbars/hot_key_table.h"

namespace qv {

namespace {

constexpr uint8_t S = hkShift, A = hkAlt, C = hkCtrl;
constexpr uint8_t CS = C | S, CA = C | A, SA = S | A, CSA = C | S | A;

// Virtual keys of the table.
constexpr uint8_t kBack = 0x08, kTab = 0x09, kClear = 0x0C, kEnter = 0x0D, kSpace = 0x20;
constexpr uint8_t kPgUp = 0x21, kPgDn = 0x22, kLeft = 0x25, kUp = 0x26, kRight = 0x27, kDown = 0x28;
constexpr uint8_t kIns = 0x2D, kDel = 0x2E;
constexpr uint8_t kNum5 = 0x65, kNumMul = 0x6A, kNumAdd = 0x6B, kNumSub = 0x6D, kNumDiv = 0x6F;
constexpr uint8_t kEquals = 0xBB, kComma = 0xBC, kMinus = 0xBD, kPeriod = 0xBE;
constexpr uint8_t kOpenBracket = 0xDB, kCloseBracket = 0xDD;
constexpr uint8_t F(int n) { return uint8_t(0x6F + n); }  // F1 is 0x70

constexpr uint32_t K(uint8_t shift, uint8_t key) { return MakeHotKey(shift, key); }
constexpr uint32_t K(uint8_t key) { return MakeHotKey(0, key); }
// Ctrl+K, Ctrl+Shift+K or Shift+Alt+K followed by a key.
constexpr uint32_t CK(uint8_t key) { return MakeHotKey(C, 'K', key); }
constexpr uint32_t CSK(uint8_t key) { return MakeHotKey(CS, 'K', key); }
constexpr uint32_t SAK(uint8_t key) { return MakeHotKey(SA, 'K', key); }

constexpr THotKeyBinding kTable[] = {
    {0, K(C, 'K')}, {0, K(CS, 'K')}, {0, K(SA, 'K')},
    {100, K(C, 'N')}, {120, K(C, 'O')}, {140, K(C, 'W')}, {180, K(C, 'S')}, {180, K(F(2))},
    {200, K(F(12))}, {280, K(C, 'P')}, {290, K(C, F(2))}, {800, K(F(7))}, {880, K(S, F(7))},
    {3000, K(kEnter)}, {3001, K(S, kEnter)}, {3002, K(C, kEnter)}, {3003, K(kTab)},
    {3003, K(CS, kTab)}, {3007, K(CS, kSpace)}, {3008, K(CS, kMinus)}, {3009, K(SA, kMinus)},
    {3011, K(CA, kMinus)}, {3012, K(C, kMinus)}, {3022, K(CS, kEnter)}, {3200, K(kDel)},
    {3220, K(kBack)}, {3220, K(S, kBack)}, {3240, K(C, kBack)}, {3260, K(C, kDel)},
    {3280, CK('Y')}, {3300, CK(kBack)}, {3320, CK(kDel)}, {3340, K(C, 'C')}, {3340, K(C, kIns)},
    {3360, K(C, 'V')}, {3360, K(S, kIns)}, {3380, K(CA, kIns)}, {3420, K(C, 'X')},
    {3420, K(S, kDel)}, {3440, K(C, F(8))}, {3445, K(SA, F(8))}, {3460, K(CA, F(8))},
    {3480, K(S, F(8))}, {3500, CK('C')}, {3510, SAK('C')}, {3511, SAK('V')}, {3540, K(SA, 'D')},
    {3560, K(SA, 'T')}, {3570, K(SA, 'P')}, {3640, K(C, 'F')}, {3641, K(C, 'H')},
    {3645, K(F(3))}, {3645, K(S, F(5))}, {3646, K(CS, F(5))}, {3647, K(CSA, F(5))},
    {3648, K(SA, F(5))}, {3648, K(CA, 'Y')}, {3680, K(CS, F(12))}, {3700, K(CSA, F(12))},
    {3720, K(kIns)}, {3740, K(C, 'A')}, {3740, K(C, kNum5)}, {3745, CK('A')}, {3760, CK('T')},
    {3780, CK('L')}, {3785, CK('E')}, {3800, CK('P')}, {3805, CK('G')}, {3810, CK('I')},
    {3820, K(F(5))}, {3840, K(C, 'Z')}, {3840, K(A, kBack)}, {3860, K(C, 'Y')},
    {3860, K(CS, 'Z')}, {3860, K(SA, kBack)}, {3920, K(CS, 'U')}, {3925, CSK('U')},
    {3930, CSK('A')}, {3931, CSK('Z')}, {3935, K(SA, kUp)}, {3936, K(SA, kDown)},
    {3980, K(S, F(3))}, {4000, K(C, F(3))}, {4020, K(CS, F(3))}, {4120, K(A, 0x3D)},
    {4120, K(A, kEquals)}, {4220, K(A, kClear)}, {4225, K(C, kPgUp)}, {4226, K(C, kPgDn)},
    {4500, K(C, 'G')}, {4510, K(C, kNumDiv)}, {4511, K(C, kNumMul)}, {4531, K(SA, 'B')},
    {4546, K(A, kLeft)}, {4547, K(A, kRight)}, {5000, K(S, F(9))}, {5051, K(CA, 'F')},
    {5052, K(CA, 'D')}, {5300, K(SA, 'X')}, {6000, K(CS, '8')}, {6160, CK('Z')},
    {6170, CSK('P')}, {6171, CSK('T')}, {6172, CSK('1')}, {6173, CSK('2')}, {6174, CSK('0')},
    {6195, K(CSA, kDown)}, {6195, K(C, kNumSub)}, {6196, K(CSA, kUp)}, {6196, K(C, kNumAdd)},
    {6400, K(F(8))}, {6500, K(F(6))}, {7000, K(F(9))}, {9000, K(CS, 'G')}, {9020, K(SA, 'C')},
    {9040, K(SA, 'V')}, {9060, K(CS, 'S')}, {9080, K(C, 'L')}, {9081, K(C, 'E')},
    {9082, K(C, 'R')}, {9083, K(C, 'J')}, {9100, K(C, 'M')}, {9120, K(CS, 'M')},
    {9140, K(C, 'T')}, {9160, K(CS, 'T')}, {9170, K(SA, 'M')}, {9180, K(C, '1')},
    {9200, K(C, '5')}, {9220, K(C, '2')}, {9240, K(C, '0')}, {9243, K(CS, '0')},
    {9246, K(SA, '0')}, {9260, K(C, 'Q')}, {9320, K(CS, 'B')}, {12000, K(C, 'D')},
    {12020, K(CS, 'C')}, {12040, K(CS, 'V')}, {12060, K(CS, 'F')}, {12080, K(CS, 'P')},
    {12120, K(C, 'B')}, {12140, K(C, 'I')}, {12160, K(C, 'U')}, {12161, K(CS, 'W')},
    {12170, CK('S')}, {12180, K(CS, kEquals)}, {12200, K(C, kEquals)},
    {12220, K(C, kOpenBracket)}, {12240, K(C, kCloseBracket)}, {12260, K(CS, kComma)},
    {12280, K(CS, kPeriod)}, {12300, K(SA, 'S')}, {12320, K(C, kSpace)}, {12340, K(CA, kLeft)},
    {12360, K(CA, kRight)}, {12380, K(CA, kUp)}, {12400, K(CA, kDown)}, {90100, K(A, '0')},
    {90105, K(A, '1')}, {90106, K(A, '2')}, {90107, K(A, '3')}, {90108, K(A, '4')},
    {90109, K(A, '5')}, {90110, K(A, '6')}, {90111, K(A, '7')}, {90112, K(A, '8')},
    {90113, K(A, '9')}, {100000, K(F(1))}, {100070, K(S, F(1))},
};

}  // namespace

std::span<const THotKeyBinding> DefaultHotKeyTable() { return kTable; }

}  // namespace qv
