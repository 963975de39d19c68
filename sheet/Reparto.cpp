#include "sheet/Reparto.h"

#include "platform/Texto.h"
#include "platform/Utilidades.h"
#include "platform/ado/Falla.h"

#include <algorithm>

namespace {

int indiceDe(const QString& dataField) {
    const QStringList& campos = Reparto::Campos();
    for (int i = 0; i < campos.size(); ++i)
        if (campos[i].compare(dataField, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

} // namespace

const QStringList& Reparto::Campos() {
    static const QStringList campos = {
        QStringLiteral("Reparto"),  QStringLiteral("Fecha"),         QStringLiteral("Clase"),
        QStringLiteral("Vehiculo"), QStringLiteral("Chofer"),        QStringLiteral("KmInicial"),
        QStringLiteral("KmFinal"),  QStringLiteral("Observaciones"), QStringLiteral("CC_Col1"),
        QStringLiteral("CC_Col2"),  QStringLiteral("ImpRecaudado"),  QStringLiteral("CuentaG1"),
        QStringLiteral("CuentaG2"), QStringLiteral("CuentaG3"),      QStringLiteral("Gasto1"),
        QStringLiteral("Gasto2"),   QStringLiteral("Gasto3"),        QStringLiteral("CuentaG4"),
        QStringLiteral("Gasto4"),   QStringLiteral("GastoMP"),       QStringLiteral("CuentaMP")};
    return campos;
}

Reparto::Reparto(QObject* padre) : QObject(padre) {}

QString Reparto::Campo(const QString& dataField) const {
    const int i = indiceDe(dataField);
    return i < 0 ? QString() : campos_[i];
}

void Reparto::setCampo(const QString& dataField, const QString& texto) {
    const int i = indiceDe(dataField);
    if (i < 0 || campos_[i] == texto)
        return;
    campos_[i] = texto;
    emit campoCambiado(i);
}

void Reparto::LimpiaCampos() {
    for (const QString& c : Campos())
        setCampo(c, QString());
}

void Reparto::MarcaComoCargado() {
    for (int i = 0; i < 21; ++i)
        cargados_[i] = campos_[i];
    lineasCargadas_ = lineas_.textos();
}

bool Reparto::HayCambios() const {
    static const int kNoDelReparto[] = {0, 8, 9}; // Reparto, CC_Col1, CC_Col2
    for (int i = 0; i < 21; ++i)
        if (campos_[i] != cargados_[i] &&
            std::find(std::begin(kNoDelReparto), std::end(kNoDelReparto), i) ==
                std::end(kNoDelReparto))
            return true;
    return lineas_.textos() != lineasCargadas_;
}

Currency Reparto::Importe(const QString& dataField) const {
    return Utilidades::ANumero(Campo(dataField));
}

void Reparto::ConfirmaNumero(const QString& texto) {
    numeroTexto_ = texto;
    numero_ = static_cast<qint64>(plataforma::LeeNumero(texto.trimmed()));
}

Currency Reparto::Cantidad(int fila, int columna) const {
    return Utilidades::ANumero(lineas_.texto(fila, columna));
}

Currency Reparto::ValorItem(int fila) const {
    try {
        const Currency P = Cantidad(fila, col::Precio);
        const Currency T = Cantidad(fila, col::Tasa);
        const Currency I = Cantidad(fila, col::Impuestos);
        const Currency C = Currency::DesdeDouble(P.aDouble() * T.aDouble() / 100.0);
        return P + C + I;
    } catch (const ado::Falla&) {
        return Currency();
    }
}

Currency Reparto::SumaGastos() const {
    return Importe(QStringLiteral("Gasto1")) + Importe(QStringLiteral("Gasto2")) +
           Importe(QStringLiteral("Gasto3")) + Importe(QStringLiteral("Gasto4"));
}

TotalesReparto Reparto::Totales() const {
    TotalesReparto t;
    for (int r = 0; r < lineas_.filas(); ++r)
        t.aRecaudar += (Cantidad(r, col::CargaKg) + Cantidad(r, col::RecargaKg)) * ValorItem(r);
    t.gastos = Importe(QStringLiteral("Gasto4")) + Importe(QStringLiteral("Gasto3")) +
               Importe(QStringLiteral("Gasto2")) + Importe(QStringLiteral("Gasto1"));
    t.total = Importe(QStringLiteral("ImpRecaudado")) - t.gastos;
    return t;
}
