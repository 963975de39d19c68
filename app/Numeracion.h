#pragma once
// Numbers an entry needs before it is written: the next journal entry number of a
// month, register type and period, and the voucher (branch, number, letter) taken
// from the voucher books. Both only read: nothing is reserved or advanced.

#include <QString>

#include <optional>

class Aplicacion;

class Numeracion {
public:
    explicit Numeracion(Aplicacion& app) : app_(app) {}

    // The number the next journal entry of the month takes. Without a register
    // type (or a blank one) the lines of no type and of the special type U+00FF "RS"
    // are counted together. On a failure the operator gave up, the number reached
    // so far (0 if none).
    qint32 ValidaTCRegistraciones(int Mes, const QString& Periodo,
                                  const std::optional<QString>& TipoReg = std::nullopt);

    // Chooses the voucher book of voucher type `TC` and returns its branch ("0000"),
    // last number ("00000000"), letter, whether the number may be changed by hand
    // and its highest number. A leading "*" on `Sucursal` or `Letra` asks for a book
    // of that branch or letter. `Fecha` (a date text) and `UNegocio` narrow the
    // choice when not empty.
    void Obtener_Nro_Comprobante_Contable(const QString& TC, QString& Sucursal, QString& Numero,
                                          QString& Letra, bool& Modificable, const QString& Fecha,
                                          const QString& UNegocio, QString& NroHasta);

    // A number written as the suite's Str() writes it: a blank before a number that
    // is not negative, no zero before the decimal point.
    static QString TextoStr(double valor);

private:
    Aplicacion& app_;
};
