// The serial terminal's command grammar for the USB3 board: "!", a parameter letter and a decimal value.
#include "board/terminal_command.h"
#include "params/board_register_id.h"

namespace {

constexpr long kRegisterValueLimit = 4095;

struct LetterEntry
{
    char Letter;
    int RegisterId;
    const char* Name;
};

constexpr LetterEntry kLetters[] = {
    {'1', 0, "TINT"},     {'2', 1, "ADD02"},    {'3', 2, "ADD03"},     {'4', 3, "CKDIV"},  {'6', 4, "GMS"},
    {'7', 5, "Yfirst"},   {'8', 6, "Ylast"},    {'9', 7, "Xfirst"},    {'A', 8, "Xlast"},  {'B', 9, "Xacqsize"},
    {'C', 10, "Yacqsize"}, {'D', 11, "ADD0C"},  {'E', 12, "ADD0D"},
};

bool Digits(const QByteArray& p_Line, int p_iFrom, int p_iCount, long* p_plValue)
{
    long lValue = 0;
    for (int i = p_iFrom; i < p_iFrom + p_iCount; ++i) {
        const char c = p_Line.at(i);
        if (c < '0' || c > '9')
            return false;
        lValue = lValue * 10 + (c - '0');
    }
    *p_plValue = lValue;
    return true;
}

} // namespace

CorvaneTerminalCommand ParseCorvaneTerminalCommand(const QByteArray& p_Line)
{
    CorvaneTerminalCommand command;
    if (p_Line.size() < 2 || p_Line.at(0) != '!')
        return command;
    const char cLetter = p_Line.at(1);
    const int iDigits = cLetter == 'P' ? 5 : 4;
    if (p_Line.size() != 2 + iDigits || !Digits(p_Line, 2, iDigits, &command.Value))
        return command;
    if (cLetter == 'P') {
        command.LineAction = CorvaneTerminalCommand::Write;
        command.RegisterId = BoardRegisterId::ProxyNumber;
        command.ParameterName = QStringLiteral("Proxy Number");
        return command;
    }
    for (const LetterEntry& entry : kLetters) {
        if (entry.Letter != cLetter)
            continue;
        if (command.Value > kRegisterValueLimit)
            return CorvaneTerminalCommand();
        command.LineAction = CorvaneTerminalCommand::Write;
        command.RegisterId = entry.RegisterId;
        command.ParameterName = QString::fromLatin1(entry.Name);
        return command;
    }
    command.LineAction = CorvaneTerminalCommand::NoParameter;
    return command;
}

QString CorvaneTerminalReply(const CorvaneTerminalCommand& p_Command)
{
    return QStringLiteral("\nValue ") + QString::number(p_Command.Value) + QStringLiteral(" send to the ")
           + p_Command.ParameterName + QStringLiteral(" parameter of DB_Corvane\n");
}
