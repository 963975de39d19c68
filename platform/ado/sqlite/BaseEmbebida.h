#pragma once
// Creating embedded database files from the schema and seed scripts in resources/.

#include <QString>

namespace ado::sqlite {

// Creates the file `ruta` (it must not exist), runs `esquema`, adds the validation
// triggers that make the file refuse what SQL Server refuses, then runs `datos`.
// Both scripts are plain SQLite text. Raises ado::Falla when anything fails; the
// half-made file is then removed.
void CreaBaseEmbebida(const QString& ruta, const QString& esquema, const QString& datos = {});

} // namespace ado::sqlite
