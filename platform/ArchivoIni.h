#pragma once
// The one reader of the INI files the suite shares: single-byte Latin-1 text, section
// names taken verbatim (they hold "|"), keys and sections compared without regard to
// case, as the Windows profile functions do.

#include <QString>

class ArchivoIni {
public:
    // The value stored under `clave` in `[seccion]` of the bare file name `archivo` in
    // the workstation folder (platform/CarpetaPuesto.h), or `defecto`.
    static QString Lee(const QString& archivo, const QString& seccion, const QString& clave,
                       const QString& defecto);
    // The same from the file at `ruta`, or `defecto` when the file, the section or the
    // key is missing. The file name's letter case is not significant: "cn000pr.ini"
    // finds "CN000pr.INI".
    static QString LeeDe(const QString& ruta, const QString& seccion, const QString& clave,
                         const QString& defecto);
};

// The path of the file named like `ruta` in its folder, whatever its letter case;
// `ruta` itself when there is none.
QString BuscaSinMayusculas(const QString& ruta);
