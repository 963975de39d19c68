#include "app/Apariencia.h"

#include "platform/ArchivoIni.h"
#include "platform/Texto.h"

#include <QDir>

namespace apariencia {

int NumeroDePiel(const QString& usuario) {
    const QString valor =
        ArchivoIni::Lee(QStringLiteral("cn000pr.ini"), usuario.toUpper() + QStringLiteral("Styles"),
                        QStringLiteral("Styles"), QStringLiteral("1"));
    const double numero = plataforma::LeeNumero(valor);
    return numero > 0 && numero < 1000 ? static_cast<int>(numero) : 0;
}

Piel PielDe(int numero) {
    Piel p;
    p.numero = numero;
    switch (numero) {
    case 1:
        p.nombre = QStringLiteral("Vista");
        p.estiloQt = QStringLiteral("Fusion");
        p.paleta = Piel::Paleta::Sistema;
        break;
    case 2:
        p.nombre = QStringLiteral("WinXP.Luna");
        p.estiloQt = QStringLiteral("Windows");
        p.paleta = Piel::Paleta::Clasica;
        break;
    case 3:
        p.nombre = QStringLiteral("WinXP.Royale");
        p.estiloQt = QStringLiteral("Fusion");
        p.paleta = Piel::Paleta::Azul;
        break;
    case 4:
        p.nombre = QStringLiteral("iTunes");
        p.estiloQt = QStringLiteral("Fusion");
        p.paleta = Piel::Paleta::Gris;
        break;
    default:
        p.nombre = QStringLiteral("Office2007");
        p.estiloQt = QStringLiteral("Fusion");
        p.paleta = Piel::Paleta::CelestePalido;
        break;
    }
    return p;
}

QString HojaDeEstilo(const QString& carpetaPrograma, const Piel& piel) {
    return BuscaSinMayusculas(
        QDir(carpetaPrograma)
            .filePath(QStringLiteral("Styles/") + piel.nombre + QStringLiteral(".qss")));
}

} // namespace apariencia
