#pragma once
// The error log VXERR.LOG: one line per error shown to the operator, with the
// answer given. The file is shared with the suite's other programs, so it is
// written as single-byte Windows-1252 text with CR LF line ends.

#include "platform/DialogoOperador.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace RegistroErrores {

// The word logged for an answer: "Reintentar", "Ignorar", "Abortar", "Cancelar",
// "Sí", "No"; empty for OK.
QString PalabraRespuesta(plataforma::Respuesta respuesta);

// One log line, CR LF included:
// "MM-DD-YYYY HH:MM:SS Rutina: - <rutina> Mensaje <mensaje> Respondió : <word>".
QString Linea(const QDateTime& momento, const QString& rutina, const QString& mensaje,
              plataforma::Respuesta respuesta);

// The text as Windows-1252 bytes; what that code page lacks becomes "?".
QByteArray AWindows1252(const QString& texto);

// Appends the line, creating the file when missing. A file that cannot be opened
// or written loses the line: the error dialog must go on regardless.
bool Anota(const QString& ruta, const QString& linea);

} // namespace RegistroErrores
