#pragma once
// The rewriter's machinery, shared by its two halves: ReescritorTSql.cpp walks the
// statement (batches, statements, parentheses, CASE, the kind of each clause) and
// ReglasTSql.cpp holds the rewrite rules. Each token goes through the rules that apply
// to its kind, in the order of the table in ReescritorTSql.cpp; the first one that
// writes it ends its turn.

#include "ado/sqlite/PiezasTSql.h"

#include <QString>
#include <QStringView>

#include <algorithm>
#include <array>
#include <vector>

namespace ado::sqlite {

enum class Marco : uint8_t { Raiz, Grupo, Llamada, Subconsulta, ListaIn, Caso, CuerpoTrigger };
enum class Devuelve : uint8_t { Otro, Texto, Propaga };
enum class Rol : uint8_t { Ninguno, Comparacion, Entre, Like, Lista };

// What is known about one parenthesis level (or CASE ... END) while it is open.
struct Nivel {
    Marco tipo = Marco::Raiz;
    Devuelve devuelve = Devuelve::Otro;
    bool enConsulta = false;  // literals here are compared in a query
    bool zonaSet = false;     // UPDATE ... SET assignments (root level only)
    bool trasLike = false;    // LIKE ('pattern')
    bool cadenaTexto = false; // the current additive chain holds a text term
    bool ultimaCadenaTexto = false;
    bool resultadoTexto = false; // the level's value is text
    bool ultimoOperando = false; // the previous token ended an operand (so "+" is binary)
    bool enResultado = false;    // CASE: after THEN/ELSE
    bool entrePendiente = false; // BETWEEN waiting for its AND
    bool entreIzqTexto = false;
    bool limite = false;
    bool compuesto = false; // a UNION/EXCEPT/INTERSECT has been seen at this level
    bool defs = false;      // column definitions (CREATE TABLE (...), ALTER TABLE ... ADD)
    int posDef = -1;        // 0 column name expected, 1 type expected, -1 neither
    int abre = -1;          // token of "("
    int andEntre = -1;      // token of the AND closing a BETWEEN
    int limA = 0, limB = -1;
    int castAs = -1, castFin = -1;
    qsizetype posSelect = 0;
    size_t baseMas = 0;
};

struct Sentencia {
    int tokens = 0;
    uint16_t tipo = kNinguno;
    uint16_t crea = kNinguno; // CREATE TABLE/VIEW/TRIGGER/INDEX
    bool salida = false;      // something of it has been written
    bool descartando = false;
    bool cuerpo = false; // INSERT/WITH: the VALUES or main SELECT has started
    bool parenTabla = false;
    bool triggerCerrado = false;
};

// Kept between calls, so that rewriting allocates nothing once warmed up.
struct Memoria {
    std::vector<Pieza> toks;
    std::vector<Nivel> niveles;
    std::vector<qsizetype> mas;
};

class Reescritor;

// A step taken on one token: the next token to take, or -1 when the token is not its
// business (it may still have taken note of it).
using Paso = int (Reescritor::*)(int);

struct Regla {
    const char* nombre;          // named in the failure when something goes wrong inside it
    uint32_t tipos;              // bits of the token kinds (Tk) it looks at
    std::array<uint16_t, 3> ids; // of words, the ones it looks at; none listed: every word
    Paso paso;
};

class Reescritor {
public:
    Reescritor(QStringView src, Memoria& m, QString& out)
        : src_(src), t_(m.toks), niveles_(m.niveles), mas_(m.mas), out_(out) {}

    void Ejecuta();
    // The rule or step under way, for a failure.
    const char* ReglaEnCurso() const { return regla_; }

    // ---- batches and statements (ReescritorTSql.cpp) ----
    int SeparaLote(int i);
    int DescartaSet(int i);
    int Transaccion(int i);
    // ---- structure ----
    int Nombre(int i);
    int Select(int i);
    int Caso(int i);
    int FinDeBloque(int i);
    int CuerpoDeTrigger(int i);
    int RamaDeCaso(int i);
    int Entre(int i);
    int Y(int i);
    int Compuesto(int i);
    int OrdenPor(int i);
    int ZonaSet(int i);
    int FinDeZonaSet(int i);
    int Valores(int i);
    int AgregaColumna(int i);
    int PalabraClave(int i);
    int Operador(int i);
    int AbreParentesis(int i);
    int CierraParentesis(int i);
    int Coma(int i);
    int Operando(int i);
    int Otro(int i);

    // ---- rewrite rules (ReglasTSql.cpp) ----
    int DeleteSinFrom(int i);
    int TruncateTable(int i);
    int TipoDeCast(int i);
    int PistasWith(int i);
    int QuitaDbo(int i);
    int ColumnaDeTexto(int i);
    int PistaSuelta(int i);
    int Isnull(int i);
    int LeftRight(int i);
    int ScopeIdentity(int i);
    int Convert(int i);
    int Cast(int i);
    int PartesDeFecha(int i);
    int Llamada(int i);
    int ColacionDeListaIn(int i);
    int ValoresDelServidor(int i);
    int Top(int i);
    int Fechas(int i);
    int TextoComparado(int i);
    int PrefijoN(int i);
    int Corchetes(int i);
    int NoMenorNoMayor(int i);
    int Concatenacion(int i);

private:
    QStringView src_;
    std::vector<Pieza>& t_;
    std::vector<Nivel>& niveles_;
    std::vector<qsizetype>& mas_;
    QString& out_;
    Sentencia st_;
    int fin_ = 0;
    int colateTras_ = -1;
    bool necesitaEspacio_ = false;
    const char* regla_ = "";
    int rolDe_ = -1; // the literal whose role is in rol_ and rolIzqTexto_
    Rol rol_ = Rol::Ninguno;
    bool rolIzqTexto_ = false;

    int Avanza(int i);

    // ---- token access ----
    const Pieza& T(int i) const { return t_[size_t(std::clamp(i, 0, fin_))]; }
    uint16_t IdEn(int i) const {
        return i >= 0 && i < fin_ && t_[size_t(i)].tipo == Tk::Palabra ? t_[size_t(i)].id
                                                                       : uint16_t(kNinguno);
    }
    Tk TipoEn(int i) const { return i >= 0 && i <= fin_ ? t_[size_t(i)].tipo : Tk::Fin; }
    QStringView Texto(int i) const {
        return src_.sliced(t_[size_t(i)].inicio, t_[size_t(i)].largo);
    }
    Nivel& Arriba() { return niveles_.back(); }
    bool EnRaiz() const { return niveles_.size() == 1; }
    int CierreDe(int i) const;
    bool EsLlamada(int i) const;
    static bool EsComparacion(const Pieza& t) {
        return t.tipo == Tk::Op && sql::EsComparacion(t.op);
    }
    static bool EsAritmetico(const Pieza& t) {
        return (t.tipo == Tk::Op && sql::EsOperador(t.op)) || t.tipo == Tk::Punto ||
               t.id == kCollate;
    }

    // ---- output ----
    void EmiteTrivia(int i);
    void Emite(int i);
    void EmiteComo(int i, QStringView s);
    void EmiteComo(int i, QLatin1String s);
    void Agrega(QStringView s) { out_.append(s); }
    void Salta(int i);
    void SaltaHasta(int desde, int hasta);

    // ---- statements ----
    void NuevaSentencia();
    void TerminaSentencia(int puntoComa, bool implicito);
    void AnotaSentencia(int i);
    bool EsLineaGo(int i) const;
    bool EsOpcionSet(int i) const;
    bool EmpiezaSentencia(int i);
    bool EsNombreTransaccion(int i) const;
    bool SigueANombreDeTabla(int i) const;
    void AbreNivel(int i, Devuelve forzado = Devuelve::Otro, bool forzar = false);

    // ---- helpers of the rules ----
    void TerminaCadena(Nivel& n);
    void EmiteLimite(Nivel& n);
    void EnvuelveRama(Nivel& n);
    void CierraLimite(Nivel& n);
    bool EsPistaSuelta(int i) const;
    void AvanzaDefinicion(int i);
    void EmiteCorchete(int i);
    Rol RolDeLiteral(int i, bool& izqTexto);
    Rol RolDe(int i);
    bool OperandoDerechoTexto(int j) const;
    bool ListaInConTexto(int in) const;
    void LiteralDeTexto();
};

} // namespace ado::sqlite
