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
UPDATE "MV_REPARTO" SET "IdReparto" = ?, "IdComplemento" = ?, "Fecha" = ?, "Clase" = ?, "Vehiculo" = ?, "Chofer" = ?, "KmInicial" = ?, "KmFinal" = ?, "Observaciones" = ?, "CuentaG1" = ?, "CuentaG2" = ?, "CuentaG3" = ?, "CuentaG4" = ?, "Gasto1" = ?, "Gasto2" = ?, "Gasto3" = ?, "Gasto4" = ?, "CuentaMP" = ?, "GastoMP" = ?, "ImpRecaudado" = ? WHERE "IdReparto" = ?
;
delete V_MV_REPARTODET WHERE IDREPARTO = 10
;
SELECT top 1 * FROM V_MV_REPARTODET WHERE IDREPARTO = 10
;
INSERT INTO V_MV_REPARTODET (IdReparto,IdArticulo,Descripcion,CantidadUD,Cantidad,REC_CANTIDADUD,REC_CANTIDAD,DEV_CANTIDADUD,DEV_CANTIDAD,Costo,Importe_S_Iva,Impuestos,aliciva) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?),(?,?,?,?,?,?,?,?,?,?,?,?,?),(?,?,?,?,?,?,?,?,?,?,?,?,?),(?,?,?,?,?,?,?,?,?,?,?,?,?),(?,?,?,?,?,?,?,?,?,?,?,?,?),(?,?,?,?,?,?,?,?,?,?,?,?,?),(?,?,?,?,?,?,?,?,?,?,?,?,?),(?,?,?,?,?,?,?,?,?,?,?,?,?),(?,?,?,?,?,?,?,?,?,?,?,?,?),(?,?,?,?,?,?,?,?,?,?,?,?,?),(?,?,?,?,?,?,?,?,?,?,?,?,?),(?,?,?,?,?,?,?,?,?,?,?,?,?),(?,?,?,?,?,?,?,?,?,?,?,?,?)
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
