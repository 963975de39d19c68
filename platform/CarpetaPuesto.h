#pragma once
// The workstation folder: where the files a workstation keeps are read and written
// (CN000pr.INI, BASES.TXT, CONSULTAS.VXF, CONSULTASLEN.VXF, VXERR.LOG). The suite keeps
// them beside the program; a program installed where its user cannot write (a system
// package) keeps them in the user's own settings folder instead, first filled from the
// files the administrator left in the site folder.

#include <QString>
#include <QStringList>

namespace puesto {

// The administrator's files for every user of an installed program.
inline constexpr const char* kCarpetaSitio = "/etc/hojaruta";

// The rule: `variable` (HOJARUTA_INI_DIR) when set; otherwise the program's folder when
// its user may write there; otherwise the user's own folder.
QString Elige(const QString& variable, const QString& carpetaPrograma, bool programaEscribible,
              const QString& carpetaUsuario);

// The user's own settings folder, ~/.config/hojaruta, whichever program of the
// package asks.
QString CarpetaDelUsuario();

// The workstation folder of this process.
QString Carpeta();

// Copies into `carpeta` (created when missing) each file of `sitio` whose name, whatever
// its letter case, `carpeta` lacks; returns the names copied. A file the user already has
// is never replaced.
QStringList CopiaFaltantes(const QString& carpeta, const QString& sitio);

// At the program's start: when the workstation folder is the user's own, creates it and
// fills it from the site folder.
void Prepara();

} // namespace puesto
