# Reports: file resolution, the report component over DB_Dll, the sheet's report.
target_sources(app PRIVATE Reportes.cpp Reportes.h ReportesDatos.cpp)
hojaruta_cabeceras(app Reportes.h)
target_link_libraries(app PUBLIC reporte)
