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

// The server text that names the embedded file.
inline bool esServidorEmbebido(const QString& servidor) {
    return SinBlancos(servidor).compare(QLatin1String("sqlite"), Qt::CaseInsensitive) == 0;
}

} // namespace db::detalle
