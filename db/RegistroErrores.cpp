#include "db/RegistroErrores.h"

#include "Auxiliares.h"

#include <QFile>

namespace RegistroErrores {

namespace {

// Windows-1252 places printable characters where Latin-1 has control codes.
char byte1252(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    static constexpr char16_t tabla[32] = {
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    for (int i = 0; i < 32; ++i)
        if (tabla[i] != 0 && tabla[i] == c)
            return static_cast<char>(0x80 + i);
    return '?';
}

} // namespace

QString PalabraRespuesta(plataforma::Respuesta respuesta) {
    using plataforma::Respuesta;
    switch (respuesta) {
    case Respuesta::Retry:
        return QStringLiteral("Reintentar");
    case Respuesta::Ignore:
        return QStringLiteral("Ignorar");
    case Respuesta::Abort:
        return QStringLiteral("Abortar");
    case Respuesta::Cancel:
        return QStringLiteral("Cancelar");
    case Respuesta::Yes:
        return QStringLiteral("Sí");
    case Respuesta::No:
        return QStringLiteral("No");
    case Respuesta::OK:
        break;
    }
    return {};
}

QString Linea(const QDateTime& momento, const QString& rutina, const QString& mensaje,
              plataforma::Respuesta respuesta) {
    const QString parteRutina =
        rutina.isEmpty() ? QString() : db::detalle::SinBlancos(QStringLiteral(" - ") + rutina);
    return momento.toString(QStringLiteral("MM-dd-yyyy HH:mm:ss")) + QStringLiteral(" Rutina: ") +
           parteRutina + QStringLiteral(" Mensaje ") + db::detalle::SinBlancos(mensaje) +
           QStringLiteral(" Respondió : ") + PalabraRespuesta(respuesta) + QStringLiteral("\r\n");
}

QByteArray AWindows1252(const QString& texto) {
    QByteArray r;
    r.reserve(texto.size());
    for (QChar c : texto)
        r.append(byte1252(c.unicode()));
    return r;
}

bool Anota(const QString& ruta, const QString& linea) {
    if (ruta.isEmpty())
        return false;
    QFile archivo(ruta);
    if (!archivo.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    const QByteArray bytes = AWindows1252(linea);
    const bool escrito = archivo.write(bytes) == bytes.size();
    archivo.close();
    return escrito;
}

} // namespace RegistroErrores
