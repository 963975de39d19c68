#pragma once
// Conversions between what the operator or a statement writes and what the
// database stores: dates as ISO text, numbers with a decimal point.

#include <QDateTime>
#include <QString>
#include <QVariant>

#include <optional>

namespace ado {

// Reads d/m/yyyy, d/m/yy (two-digit years below 50 are 20yy), yyyy-mm-dd and
// yyyymmdd, each with an optional h:mm[:ss] time. Impossible dates give nothing.
std::optional<QDateTime> InterpretaFecha(const QString& texto);

// The stored form: "yyyy-MM-dd" at midnight, "yyyy-MM-dd HH:mm:ss" otherwise.
QString TextoFechaIso(const QDateTime& fecha);

// Reads a number written with a decimal point, or in the operator's locale.
std::optional<double> InterpretaNumero(const QString& texto);

// A table or column name between double quotes, as both providers' SQL takes it.
QString CitaIdentificador(const QString& nombre);

// Whether a value holds an integer of any width: not a bool, a character or a
// floating-point number.
bool EsEntero(const QVariant& valor);

bool EsTipoTexto(int tipoAdo);
bool EsTipoNumero(int tipoAdo);
bool EsTipoFecha(int tipoAdo);

} // namespace ado
