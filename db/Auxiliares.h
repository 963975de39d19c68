#pragma once
// Small text helpers shared by the database-access object's files.

#include "platform/Texto.h"

#include <QString>

namespace db::detalle {

using plataforma::LeeNumero;
using plataforma::SinBlancos;
using plataforma::TextoNumero;

inline bool Contiene(const QString& texto, const QString& buscado) {
    return texto.contains(buscado, Qt::CaseInsensitive);
}

} // namespace db::detalle
