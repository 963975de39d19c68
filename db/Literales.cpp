// Writing values into statement text, and handling object names.

#include "Auxiliares.h"
#include "db/DB_Dll.h"
#include "platform/Utilidades.h"

#include <QRegularExpression>

#include <cmath>

using namespace db::detalle;

namespace {

// The type code, when the value is one.
std::optional<int> codigoTipo(const QVariant& Qtype) {
    bool ok = false;
    const int codigo = Qtype.toInt(&ok);
    if (!Qtype.isValid() || Qtype.isNull() || !ok)
        return std::nullopt;
    return codigo;
}

bool enLista(const QVariant& Qtype, std::initializer_list<int> codigos) {
    const auto codigo = codigoTipo(Qtype);
    return codigo && std::find(codigos.begin(), codigos.end(), *codigo) != codigos.end();
}

} // namespace

bool DB_Dll::adodate(const QVariant& Qtype) {
    return enLista(Qtype, {7, 64, 133, 134, 135, 137});
}

bool DB_Dll::ADOText(const QVariant& Qtype) {
    return enLista(Qtype, {8, 129, 130, 200, 201, 202, 203});
}

bool DB_Dll::ADONumeric(const QVariant& Qtype) {
    return enLista(Qtype, {2, 3, 4, 5, 14, 16, 17, 18, 19, 20, 21, 131});
}

bool DB_Dll::ADOCurrency(const QVariant& Qtype) {
    return enLista(Qtype, {6});
}

bool DB_Dll::ADOBoolean(const QVariant& Qtype) {
    return enLista(Qtype, {11});
}

QString DB_Dll::ADOComilla(const QVariant& Qtype) {
    return adodate(Qtype) || ADOText(Qtype) ? QStringLiteral("'") : QString();
}

QString DB_Dll::SQLValue(const QVariant& Valor, const QString& Tipo) {
    QString abre;
    QString cierra;
    QString cuerpo;
    const bool nulo = !Valor.isValid() || Valor.isNull();
    if (Tipo == u"@") {
        // A point as decimal separator, whatever the operator's locale writes.
        cuerpo = Utilidades::ANumero(Valor).texto().replace(u',', u'.');
        return nulo ? QStringLiteral("0") : cuerpo;
    }
    if (Tipo == u"'") {
        abre = QStringLiteral("'");
        cierra = QStringLiteral("'");
    }
    if (nulo)
        return QStringLiteral("NULL");
    return abre + Valor.toString() + cierra;
}

QString DB_Dll::AddBrackets(const QString& rObjName) {
    if (rObjName.contains(u' ') && !rObjName.startsWith(u'['))
        return u'[' + rObjName + u']';
    return rObjName;
}

QString DB_Dll::StripBrackets(const QString& rsObjName) {
    if (rsObjName.startsWith(u'['))
        return rsObjName.mid(1, qMax<qsizetype>(0, rsObjName.size() - 2));
    return rsObjName;
}

QString DB_Dll::StripConnect(const QString& rsTblName) {
    const auto marca = rsTblName.indexOf(QLatin1String("->"));
    if (marca < 0)
        return rsTblName;
    // The link is written "name -> file": the blank before the marker goes too.
    return rsTblName.left(qMax<qsizetype>(0, marca - 1));
}

QString DB_Dll::StripOwner(QString& rsTblName) {
    const auto punto = rsTblName.indexOf(u'.');
    if (punto >= 0)
        rsTblName = rsTblName.mid(punto + 1);
    return rsTblName;
}

QString DB_Dll::StripFileName(const QString& rsFileName) {
    // The suite writes "\"; paths of this platform use "/".
    const auto barra = qMax(rsFileName.lastIndexOf(u'\\'), rsFileName.lastIndexOf(u'/'));
    if (barra < 0)
        return {};
    return rsFileName.left(barra);
}

QString DB_Dll::stSTF(QString& rsName, bool rnPart) {
    const auto punto = rsName.indexOf(u'.');
    if (punto >= 0 && rsName.indexOf(u'.', punto + 1) >= 0)
        return StripOwner(rsName);
    if (rnPart)
        return punto < 0 ? rsName : rsName.mid(punto + 1);
    // No owner written: there is no part before a point.
    return punto < 0 ? QString() : rsName.left(punto);
}
