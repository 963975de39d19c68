#pragma once
// A column's type as its CREATE TABLE declares it ("NVARCHAR(30)", "numeric(18, 4)"),
// read the one way both the provider and the file builder need it.

#include <QByteArray>
#include <QByteArrayView>

namespace ado::sqlite {

struct TipoDeclarado {
    QByteArray base; // the name in capitals, without its length
    int largo = 0;   // the first number between parentheses; 0 when there is none
};

inline TipoDeclarado LeeTipoDeclarado(QByteArrayView declarado) {
    const QByteArray d = declarado.toByteArray().toUpper();
    const auto abre = d.indexOf('(');
    TipoDeclarado t;
    t.base = (abre < 0 ? d : d.first(abre)).trimmed();
    if (abre >= 0)
        t.largo = d.mid(abre + 1).split(',').first().split(')').first().trimmed().toInt();
    return t;
}

} // namespace ado::sqlite
