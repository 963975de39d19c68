SELECT VALOR, valoraux FROM ta_configuracion with(nolock)  WHERE CLAVE = 'EQU_CYB_CreditoCaja'
;
SELECT VALOR, valoraux FROM ta_configuracion with(nolock)  WHERE CLAVE = 'PERIODO'
;
SELECT VALOR, valoraux FROM ta_configuracion with(nolock)  WHERE CLAVE = 'TIPOREGFACTURACION'
;
SELECT COUNT(*) AS LINEAS FROM MV_ASIENTOS WITH(NOLOCK) WHERE TC = 'EGC' AND LTRIM(RTRIM(Cpte_Origen)) = '10'
;
SELECT MAX([NUMERO ASIENTO]) AS [NRO_ASIENTO] FROM MV_ASIENTOS WITH(NOLOCK) WHERE MES_OPERATIVO = 12 AND TIPO_REG = 'CYB' AND PERIODO =  2026
;
SELECT [NUMERO ASIENTO] AS [NRO_ASIENTO] FROM MV_ASIENTOSCCOSTO WITH(NOLOCK) WHERE MES_OPERATIVO = 12 AND TIPO_REG = 'CYB' AND PERIODO =  2026 AND [NUMERO ASIENTO] = 1
;
SELECT MAX([NUMERO ASIENTO]) AS [NRO_ASIENTO] FROM MV_ASIENTOSCCOSTO WITH(NOLOCK) WHERE MES_OPERATIVO = 12 AND TIPO_REG = 'CYB' AND PERIODO =  2026
;
SELECT TOP 1  * FROM V_MV_REPARTO with(nolock)  WHERE LTRIM(RTRIM(IDREPARTO)) ='10'
;
SELECT * FROM V_MA_ARTICULOS WHERE IDARTICULO IN ('                     1001','                     1002','                     1005','                     1007','                     1011','                     1012','                     1013','                     2009','                     2011','                     3003','                     3006','                     3007','                     3011')
;
SELECT idrubro FROM v_ta_rubros with(nolock)  WHERE LTRIM(RTRIM(idrubro)) IN ('1','2','3')
;
SELECT * FROM ta_configuracion with(nolock)  WHERE CLAVE = 'CC_Col1'
;
UPDATE "TA_CONFIGURACION" SET "Grupo" = ?, "Clave" = ?, "Valor" = ?, "PoliticaNegocio" = ? WHERE "Clave" = ?
;
SELECT TOP 1 * FROM MA_CUENTAS with(nolock)  WHERE CODIGO = '51101' AND TITULO = 0 AND MEDIODEPAGO IS NULL
;
SELECT TOP 1 * FROM MA_CUENTAS with(nolock)  WHERE CODIGO = '51102' AND TITULO = 0 AND MEDIODEPAGO IS NULL
;
SELECT TOP 1 * FROM MA_CUENTAS with(nolock)  WHERE CODIGO = '51103' AND TITULO = 0 AND MEDIODEPAGO IS NULL
;
SELECT TOP 1 * FROM MA_CUENTAS with(nolock)  WHERE CODIGO = '51104' AND TITULO = 0 AND MEDIODEPAGO IS NULL
;
SELECT TOP 1 * FROM MA_CUENTAS with(nolock)  WHERE CODIGO = '11102' AND TITULO = 0 AND NOT MEDIODEPAGO IS NULL
;
BEGIN TRANSACTION
;
SELECT * FROM V_MV_REPARTO WITH (UPDLOCK, HOLDLOCK) WHERE IDREPARTO = 10
;
SELECT * FROM V_MV_REPARTODET WITH (UPDLOCK, HOLDLOCK) WHERE IDREPARTO = 10
;
SELECT COUNT(*) AS LINEAS FROM MV_ASIENTOS WITH(NOLOCK) WHERE TC = 'EGC' AND LTRIM(RTRIM(Cpte_Origen)) = '10'
;
SELECT * FROM V_TA_CPTE   WHERE CODIGO = ' EGC' ORDER BY TALONARIO
;
SELECT MAX([NUMERO ASIENTO]) AS [NRO_ASIENTO] FROM MV_ASIENTOS WITH(NOLOCK) WHERE MES_OPERATIVO = 12 AND TIPO_REG = 'CYB' AND PERIODO =  2026
;
SELECT [NUMERO ASIENTO] AS [NRO_ASIENTO] FROM MV_ASIENTOSCCOSTO WITH(NOLOCK) WHERE MES_OPERATIVO = 12 AND TIPO_REG = 'CYB' AND PERIODO =  2026 AND [NUMERO ASIENTO] = 1
;
SELECT MAX([NUMERO ASIENTO]) AS [NRO_ASIENTO] FROM MV_ASIENTOSCCOSTO WITH(NOLOCK) WHERE MES_OPERATIVO = 12 AND TIPO_REG = 'CYB' AND PERIODO =  2026
;
UPDATE "MV_REPARTO" SET "IdReparto" = ?, "IdComplemento" = ?, "Fecha" = ?, "Clase" = ?, "Vehiculo" = ?, "Chofer" = ?, "KmInicial" = ?, "KmFinal" = ?, "Observaciones" = ?, "CuentaG1" = ?, "CuentaG2" = ?, "CuentaG3" = ?, "CuentaG4" = ?, "Gasto1" = ?, "Gasto2" = ?, "Gasto3" = ?, "Gasto4" = ?, "CuentaMP" = ?, "GastoMP" = ?, "ImpRecaudado" = ?, "FINALIZADO" = ? WHERE "IdReparto" = ?
;
delete V_MV_REPARTODET WHERE IDREPARTO = 10
;
SELECT top 1 * FROM V_MV_REPARTODET WHERE IDREPARTO = 10
;
INSERT INTO V_MV_REPARTODET (IdReparto,IdArticulo,Descripcion,CantidadUD,Cantidad,REC_CANTIDADUD,REC_CANTIDAD,DEV_CANTIDADUD,DEV_CANTIDAD,Costo,Importe_S_Iva,Impuestos,aliciva) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?),(?,?,?,?,?,?,?,?,?,?,?,?,?),(?,?,?,?,?,?,?,?,?,?,?,?,?),(?,?,?,?,?,?,?,?,?,?,?,?,?),(?,?,?,?,?,?,?,?,?,?,?,?,?),(?,?,?,?,?,?,?,?,?,?,?,?,?),(?,?,?,?,?,?,?,?,?,?,?,?,?),(?,?,?,?,?,?,?,?,?,?,?,?,?),(?,?,?,?,?,?,?,?,?,?,?,?,?),(?,?,?,?,?,?,?,?,?,?,?,?,?),(?,?,?,?,?,?,?,?,?,?,?,?,?),(?,?,?,?,?,?,?,?,?,?,?,?,?),(?,?,?,?,?,?,?,?,?,?,?,?,?)
;
SELECT TOP 1 * FROM MV_ASIENTOS
;
INSERT INTO "MV_ASIENTOS" ("Fecha","FechaSubDiario","Mes_Operativo","NUMERO ASIENTO","Cuenta","Secuencia","Cabimporte","Debe-Haber","Importe","Periodo","TC","Sucursal","Numero","Letra","Tipo_Reg","Detalle","Moneda","Cotizacion","IdCajas","Cpte_Origen") VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)
;
INSERT INTO "MV_ASIENTOS" ("Fecha","FechaSubDiario","Mes_Operativo","NUMERO ASIENTO","Cuenta","Secuencia","Cabimporte","Debe-Haber","Importe","Periodo","TC","Sucursal","Numero","Letra","Tipo_Reg","Detalle","Moneda","Cotizacion","IdCajas","Cpte_Origen") VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)
;
INSERT INTO "MV_ASIENTOS" ("Fecha","FechaSubDiario","Mes_Operativo","NUMERO ASIENTO","Cuenta","Secuencia","Cabimporte","Debe-Haber","Importe","Periodo","TC","Sucursal","Numero","Letra","Tipo_Reg","Detalle","Moneda","Cotizacion","IdCajas","Cpte_Origen") VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)
;
INSERT INTO "MV_ASIENTOS" ("Fecha","FechaSubDiario","Mes_Operativo","NUMERO ASIENTO","Cuenta","Secuencia","Cabimporte","Debe-Haber","Importe","Periodo","TC","Sucursal","Numero","Letra","Tipo_Reg","Detalle","Moneda","Cotizacion","IdCajas","Cpte_Origen") VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)
;
INSERT INTO "MV_ASIENTOS" ("Fecha","FechaSubDiario","Mes_Operativo","NUMERO ASIENTO","Cuenta","Secuencia","Cabimporte","Debe-Haber","Importe","Periodo","TC","Sucursal","Numero","Letra","Tipo_Reg","Detalle","Moneda","Cotizacion","IdCajas","Cpte_Origen") VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)
;
COMMIT TRANSACTION
;
SELECT VALOR, valoraux FROM ta_configuracion with(nolock)  WHERE CLAVE = 'CC_Col1'
;
SELECT VALOR, valoraux FROM ta_configuracion with(nolock)  WHERE CLAVE = 'CC_Col2'
;
SELECT VALOR, valoraux FROM ta_configuracion with(nolock)  WHERE CLAVE = 'PIVA'
;
SELECT TOP 1 * FROM V_MV_REPARTO ORDER BY IDREPARTO DESC
;
SELECT idrubro FROM v_ta_rubros with(nolock)  WHERE LTRIM(RTRIM(idrubro)) IN ('1','2','3')
;
SELECT * FROM V_MA_ARTICULOS WHERE SUSPENDIDO=0  and Idrubro in('   1','   2','   3') Order by idarticulo
;
SELECT top 1 * FROM V_MV_REPARTO
;
