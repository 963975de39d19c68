#pragma once
// The one exception type of the program: a failure with the number, description and
// source that the error dialogs show, and the provider's records behind it.

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>
#include <exception>

namespace ado {

using Numero = std::int32_t;

// One entry of a connection's error list: an error or a warning of the provider.
struct Error {
    Numero Number = 0;
    QString Description;
    QString SQLState;
    Numero NativeError = 0;
    QString Source;
};

// Error numbers the program tests. HRESULTs are kept as the negative 32-bit
// numbers that error objects carry.
namespace codigo {
constexpr Numero hr(std::uint32_t valor) {
    return static_cast<Numero>(valor);
}
inline constexpr Numero adErrNoCurrentRecord = 3021;
inline constexpr Numero adErrIllegalOperation = 3219;
inline constexpr Numero adErrFeatureNotAvailable = 3251;
inline constexpr Numero adErrItemNotFound = 3265;
inline constexpr Numero adErrDataConversion = 3421;
inline constexpr Numero adErrObjectClosed = 3704;
inline constexpr Numero adErrObjectOpen = 3705;
inline constexpr Numero adErrProviderNotFound = 3706;
inline constexpr Numero adErrInvalidConnection = 3709;
inline constexpr Numero E_FAIL = hr(0x80004005);
inline constexpr Numero DB_E_CANTCONVERTVALUE = hr(0x80040E07);
inline constexpr Numero DB_E_ERRORSINCOMMAND = hr(0x80040E14);
inline constexpr Numero DB_E_INTEGRITYVIOLATION = hr(0x80040E2F);
inline constexpr Numero DB_E_ABORTLIMITREACHED = hr(0x80040E31); // time-out
inline constexpr Numero DB_E_NOTABLE = hr(0x80040E37);
inline constexpr Numero DB_E_ROWNOTFOUND = hr(0x80040E38);   // row changed under an update
inline constexpr Numero DB_E_DATAOVERFLOW = hr(0x80040E57);  // text too long
inline constexpr Numero XACT_E_XTIONEXISTS = hr(0x8004D013); // a transaction is open
inline constexpr Numero XACT_E_NOTRANSACTION = hr(0x8004D00E);
} // namespace codigo

class Falla : public std::exception {
public:
    Falla(Numero number, QString description, QString source = {}, QList<Error> registros = {});
    ~Falla() override;
    Falla(const Falla&);
    Falla& operator=(const Falla&);
    const char* what() const noexcept override { return utf8_.constData(); }

    Numero Number;
    QString Description;
    QString Source;
    QList<Error> Registros; // what the provider reported, first the cause

private:
    QByteArray utf8_;
};

// A field, column or item asked for by a name or position its collection lacks, as
// the layer words it; `fuente` says which collection.
inline Falla FallaSinElemento(const QString& fuente) {
    return Falla(codigo::adErrItemNotFound,
                 QStringLiteral("Item cannot be found in the collection corresponding to the "
                                "requested name or ordinal."),
                 fuente);
}

} // namespace ado
