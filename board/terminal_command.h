// The serial terminal's command grammar for the USB3 board: "!", a parameter letter and a decimal value.
#pragma once

#include <QByteArray>
#include <QString>

// What one typed line means for the USB3 board.
struct CorvaneTerminalCommand
{
    enum Action {
        Drop,         // not a command: nothing sent, nothing shown
        NoParameter,  // a well-formed command whose letter names no parameter: the reply only
        Write,        // write Value to RegisterId
    };
    Action LineAction = Drop;
    int RegisterId = -1;
    long Value = 0;
    QString ParameterName;  // empty for NoParameter
};

// "!" + letter + exactly four ASCII digits ("P": five), nothing after them.
// Letters "1" to "E" of the table take at most 4095. Anything else, shorter,
// longer or with other characters in the value, is dropped.
CorvaneTerminalCommand ParseCorvaneTerminalCommand(const QByteArray& p_Line);

// The window's own reply to a command: "\nValue <v> send to the <name> parameter of DB_Corvane\n".
QString CorvaneTerminalReply(const CorvaneTerminalCommand& p_Command);
