#pragma once
// The lookup files the suite's programs share: CONSULTAS.VXF, the named lookup
// definitions in fixed records of 1202 bytes, and CONSULTASLEN.VXF, the column
// widths kept per table. Both are single-byte text; their names are matched
// without regard to letter case, since the suite spells them both ways.

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// One lookup definition as the file keeps it, its padding removed.
struct MascaraConsulta {
    QString Titulo;
    QString Tabla;     // the key the definition is found by
    QString Campos;    // column names between vertical bars
    QString Condicion; // without the word WHERE; empty for none
};

namespace consulta {

inline constexpr qint64 kLargoRegistro = 1202;

// A record's fields, without chr(0) and chr(255) and trimmed. A short record
// reads as if padded with blanks.
MascaraConsulta LeeRegistro(const QByteArray& registro);

// The first definition whose Tabla equals `tabla` trimmed, case ignored. The file
// is read afresh at every call; nothing when it or the definition is missing.
std::optional<MascaraConsulta> BuscarMascara(const QString& ruta, const QString& tabla);

// The widths, in twips, that the column-width file keeps for `tabla` (case
// ignored; the last matching line wins), one entry per column in list order.
// An entry that is not a positive number is empty: that column keeps its width.
// Nothing when the file or the table is missing.
using Anchos = QList<std::optional<int>>;
std::optional<Anchos> AnchosGuardados(const QString& ruta, const QString& tabla);

} // namespace consulta
