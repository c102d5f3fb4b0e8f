// The "!" / "*" register-letter alphabet of every board family, by register id, in both directions.
//
// One row per register id, one column per family. A family leaves out the
// registers its firmware does not decode (letter 0) and keeps its own value
// field width. The program's encoders and the simulated boards' decoders both
// read this table, so the two cannot drift apart.
#pragma once

#include <cstddef>

enum class RegisterFamily {
    Belmor,   // Belmor and Belmor+ Camera Link boards: "!" + letter
    Arvex,    // Arvex Camera Link board: "!" for ids 0..12, "*" above
    GigE,     // Dunstel GigE board's UART bridge: "!" + letter
    Eskra,    // serial-port board: "!" + letter
};

// The Arvex board takes "!" texts up to this id and "*" texts above it.
constexpr int ArvexLastBangRegister = 12;

struct RegisterLetterCell {
    char cLetter;   // 0: the family has no command for this id
    int iDigits;    // width of the zero-padded value field
};

struct RegisterLetterRow {
    int iId;
    RegisterLetterCell belmor;
    RegisterLetterCell arvex;
    RegisterLetterCell gige;
    RegisterLetterCell eskra;
};

namespace register_letters {
constexpr RegisterLetterCell None{0, 0};
constexpr RegisterLetterCell L4(char p_c) { return RegisterLetterCell{p_c, 4}; }
constexpr RegisterLetterCell L3(char p_c) { return RegisterLetterCell{p_c, 3}; }
constexpr RegisterLetterCell L5(char p_c) { return RegisterLetterCell{p_c, 5}; }

// GMS (id 4) is '5' on the serial-port board and '6' everywhere else; the
// Arvex board's "*" letters for ids above 12 are its own.
inline constexpr RegisterLetterRow kRegisterLetters[] = {
    //  id  Belmor   Arvex    GigE     Eskra
    {0, L4('1'), L4('1'), L4('1'), L4('1')},
    {1, L4('2'), L4('2'), L4('2'), L4('2')},
    {2, L4('3'), L4('3'), L4('3'), L4('3')},
    {3, L4('4'), L4('4'), L4('4'), L4('4')},
    {4, L4('6'), L4('6'), L4('6'), L4('5')},
    {5, L4('7'), L4('7'), L4('7'), L4('7')},
    {6, L4('8'), L4('8'), L4('8'), L4('8')},
    {7, L4('9'), L4('9'), L4('9'), L4('9')},
    {8, L4('A'), L4('A'), L4('A'), L4('A')},
    {9, L4('B'), L4('B'), L4('B'), L4('B')},
    {10, L4('C'), L4('C'), L4('C'), L4('C')},
    {11, L4('D'), L4('D'), L4('D'), L4('D')},
    {12, L4('E'), L4('E'), L4('E'), L4('E')},
    {20, L4('F'), L4('G'), None, None},
    {21, L5('G'), L5('O'), None, None},
    {22, L3('H'), None, None, None},
    {23, L3('I'), L4('K'), None, None},
    {24, L3('a'), None, L4('a'), None},
    {25, L3('b'), None, L4('b'), None},
    {27, L4('P'), L4('P'), L4('P'), None},
    {28, L4('Q'), L4('Q'), L4('Q'), None},
    {29, L4('R'), None, L4('R'), None},
    {30, L4('S'), L4('S'), L4('S'), None},
    {31, L4('T'), L4('T'), L4('T'), None},
    {32, L4('U'), None, L4('U'), None},
    {33, L4('V'), None, None, None},
    {34, L4('W'), None, None, None},
    {35, L4('X'), L4('X'), L4('X'), None},
    {36, L4('Y'), None, None, None},
    {37, None, L4('I'), None, None},
    {38, None, L4('L'), None, None},
    {39, None, L4('w'), None, None},
    {40, None, L4('x'), None, None},
    {41, None, L4('y'), None, None},
};

} // namespace register_letters

constexpr RegisterLetterCell RegisterLetterCellOf(const RegisterLetterRow& p_Row, RegisterFamily p_Family)
{
    switch (p_Family) {
    case RegisterFamily::Belmor: return p_Row.belmor;
    case RegisterFamily::Arvex: return p_Row.arvex;
    case RegisterFamily::GigE: return p_Row.gige;
    case RegisterFamily::Eskra: return p_Row.eskra;
    }
    return register_letters::None;
}

// The family's cell for a register id; letter 0 when the family has none.
constexpr RegisterLetterCell RegisterLetterFor(RegisterFamily p_Family, int p_iId)
{
    for (const RegisterLetterRow& row : register_letters::kRegisterLetters)
        if (row.iId == p_iId)
            return RegisterLetterCellOf(row, p_Family);
    return register_letters::None;
}

constexpr char RegisterLetter(RegisterFamily p_Family, int p_iId)
{
    return RegisterLetterFor(p_Family, p_iId).cLetter;
}

// The register id a family's letter stands for; -1 for a letter it does not decode.
// For the Arvex board, pass p_iFirstId = ArvexLastBangRegister + 1 to read its "*" letters and
// p_iLastId = ArvexLastBangRegister to read its "!" letters: it reads each alphabet after its own prefix.
constexpr int RegisterIdForLetter(RegisterFamily p_Family, char p_cLetter, int p_iFirstId = 0,
                                  int p_iLastId = 1 << 30)
{
    if (p_cLetter == 0)
        return -1;
    for (const RegisterLetterRow& row : register_letters::kRegisterLetters)
        if (row.iId >= p_iFirstId && row.iId <= p_iLastId && RegisterLetterCellOf(row, p_Family).cLetter == p_cLetter)
            return row.iId;
    return -1;
}
