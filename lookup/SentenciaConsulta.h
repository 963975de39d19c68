#pragma once
// The statement a lookup lists, built from what the caller asked for: its own
// query, a definition of the lookup file, or the table's own columns. No database
// and no widgets here: the definition and the columns come in through `Fuentes`.

#include "ArchivosConsulta.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace consulta {

// Whether `texto` holds `parte` anywhere, letter case ignored.
bool Contiene(const QString& texto, const QString& parte);

// A caller's condition of more than one character, unless it starts with "(",
// goes between parentheses with a blank on each side.
QString AjustaWhere(const QString& where);

// The row limit of the TopConsArt setting: its value rounded; 1000 when that is
// 0, empty or not a number.
int FilasTope(const QString& valor);

// What the builder asks of the outside.
struct Fuentes {
    // The definition of the lookup file for a name.
    std::function<std::optional<MascaraConsulta>(const QString& tabla)> mascara;
    // The table's columns in their order; empty when it cannot be read.
    std::function<QStringList(const QString& tabla)> columnas;
};

struct Armado {
    QString sentencia;
    // The definition names one column and no search column was given: the
    // operator is told to configure the lookup and nothing is listed.
    bool faltaConfiguracion = false;
};

// The statement for `SQL` (a query when it contains SELECT, otherwise a table or
// view name), with at most `filas` rows. `CampoBusqueda` (the column to order by)
// and `Where` (already through AjustaWhere) come in and go out as the lookup
// leaves them.
Armado ArmaSentencia(const QString& SQL, QString& CampoBusqueda, QString& Where,
                     const QString& SentenciaOpcional, int filas, bool usarMascaras,
                     const Fuentes& fuentes);

} // namespace consulta

namespace consulta {

// A new search (F5 in a search box): the statement to load, also the base of the
// next search, so that searches pile up.
QString NuevaBusqueda(const QString& SQL, const QString& SQLBase, const QString& columna,
                      const QString& texto, bool usaLike);

// F5 in the tree's box: the description holds the text anywhere. The families
// tree puts its own statement back, so there it only rebuilds the tree.
QString NuevaBusquedaArbol(const QString& SQL, const QString& texto);

// The families tree's statement: every family with its parent, the greatest
// shorter code below its own, as the column "relative".
QString SentenciaFamilias();

} // namespace consulta

namespace consulta {

// The report of an article out of stock (F12): the time as ISO text, which every
// server reads one way, and every text a literal with its apostrophes doubled.
QString SentenciaFaltante(const QDateTime& cuando, const QString& codigo,
                          const QString& descripcion, const QString& usuario);

} // namespace consulta

namespace consulta {

// The maintenance program of a listed table ("N&uevo"): its key and parameter.
struct ProgramaTabla {
    QString programa;
    QString parametro;
};
ProgramaTabla ProgramaMantenimiento(const QString& TablaConsulta);

} // namespace consulta
