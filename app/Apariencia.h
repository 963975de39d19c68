#pragma once
// The skin each operating-system user chose in the INI file, as this program maps
// the suite's five skins onto Qt styles and palettes. Applying it is app/gui's.

#include <QString>

struct Piel {
    enum class Paleta { Sistema, Clasica, Azul, Gris, CelestePalido };
    int numero = 1;
    QString nombre;   // the suite's skin name; also the name of an optional .qss
    QString estiloQt; // a QStyleFactory key
    Paleta paleta = Paleta::Sistema;
};

namespace apariencia {

// The skin number under [USERStyles] Styles= of cn000pr.ini (USER upper-cased);
// 1 when absent. A text that holds no number reads 0, as the suite reads it.
int NumeroDePiel(const QString& usuario);
// 1 Vista (the platform's look), 2 WinXP.Luna (classic), 3 WinXP.Royale (blue),
// 4 iTunes (grey), any other Office2007 (pale blue).
Piel PielDe(int numero);
// The style sheet that may go with a skin: Styles/<name>.qss in the program folder.
QString HojaDeEstilo(const QString& carpetaPrograma, const Piel& piel);

} // namespace apariencia
