#include "uNucleoTeskVado.h"

#include "uBibliot.h"
#include "uController.h"
#include "uErros.h"
#include "uExecCMD.h"
#include "uLoteImportacao.h"
#include "uLog.h"
#include "uMemTable.h"
#include "uRemessaPendente.h"
#include "uSys.h"
#include "uUIPort.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString Secao = QStringLiteral("PARAMETROS");
const QString TituloMonitorando = QStringLiteral("Tesk - Vado (Monitorando)");
const QString TituloParado = QStringLiteral("Tesk - Vado (Não Monitorando)");

using TLista = IVisaoTeskVado::TLista;
using TCampoTela = IVisaoTeskVado::TCampo;

int Posicao(TLista lista)
{
    return int(lista);
}

// Characters `de` to `ate` (from 1) of an item text; a shorter text gives what there is.
QString Trecho(const QString& texto, int de, int ate)
{
    return texto.mid(de - 1, ate - de + 1);
}

QString SemBrancosADireita(QString texto)
{
    while (!texto.isEmpty() && texto.back().isSpace())
        texto.chop(1);
    return texto;
}

void Erro(const QString& texto)
{
    if (Log_)
        Log_->TextoErro(texto);
}

// A walk over the staging rows of a look-up with no condition, one text per row.
template <class TController, class TFormata>
QStringList LerItens(TFormata formata)
{
    TController controlador;
    TDaoBDE& dao = *controlador.Dao();
    QByteArray dados;
    dao.BuscaValores({}, {}, dados, false);
    QStringList itens;
    TMemTable& rows = *dao.cdsTabela;
    for (rows.First(); !rows.Eof(); rows.Next())
        itens << formata(rows);
    return itens;
}

QString Campo(TMemTable& rows, const char* nome)
{
    return rows.FieldByName(QString::fromLatin1(nome)).AsString();
}

}  // namespace

TNucleoTeskVado::TNucleoTeskVado(IVisaoTeskVado& visao)
    : FVisao(visao), FControladores(std::make_unique<TControladoresCompartilhados>())
{
    DefinirExecutor({});
}

TNucleoTeskVado::~TNucleoTeskVado()
{
    if (FLog && Log_ == FLog.get())
        Log_ = nullptr;
}

void TNucleoTeskVado::DefinirExecutor(TExecutor executor)
{
    if (executor)
        FExecutor = std::move(executor);
    else
        FExecutor = [](TLoteImportacao& lote) { lote.Executar(); };
}

void TNucleoTeskVado::ApplicationEvents1Exception(const std::exception& e)
{
    if (!Log_)
        return;
    Log_->TextoErro(MensagemDe(e));
}

// --- Item texts and INI values --------------------------------------------------------------

QString TNucleoTeskVado::ItemEmpresa(const QString& codigo, const QString& nomeFantasia, const QString& cgc)
{
    // Cut or padded to 20, so the " - " before the tax number is always at the same column.
    return codigo + QStringLiteral(" - ") + nomeFantasia.left(20).leftJustified(20, u' ') + QStringLiteral(" - ") + cgc;
}

QString TNucleoTeskVado::ItemUsuario(const QString& chapa, const QString& nome)
{
    return SemBrancosADireita(chapa + QStringLiteral(" - ") + nome);
}

QString TNucleoTeskVado::ItemECF(const QString& numero, const QString& serie)
{
    return SemBrancosADireita(numero + QStringLiteral(" - ") + serie);
}

int TNucleoTeskVado::IndiceParaValor(const QStringList& itens, const QString& valor)
{
    if (valor.isEmpty())
        return -1;
    const int exato = int(itens.indexOf(valor));
    if (exato >= 0)
        return exato;
    // A hand-written INI names the company "0001" rather than its whole item text. Only a bare
    // code qualifies: a stale full text must not pick some other item by its prefix.
    if (valor.contains(u' '))
        return -1;
    const QString prefixo = valor + QStringLiteral(" - ");
    for (int i = 0; i < itens.size(); ++i)
        if (itens[i].startsWith(prefixo) || itens[i] == valor + QStringLiteral(" -"))
            return i;
    return -1;
}

bool TNucleoTeskVado::LerBooleano(const QString& texto)
{
    // Missing or empty is the first run ever, before any close wrote the file: unchecked.
    if (texto.isEmpty())
        return false;
    bool numero = false;
    const double valor = texto.toDouble(&numero);
    if (numero)
        return valor != 0;
    if (texto.compare(QStringLiteral("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (texto.compare(QStringLiteral("False"), Qt::CaseInsensitive) == 0)
        return false;
    throw EConvertError(QStringLiteral("'%1' não é um valor booleano válido").arg(texto));
}

QStringList TNucleoTeskVado::Itens(TLista lista) const
{
    return FItens[Posicao(lista)];
}

QString TNucleoTeskVado::TextoSelecionado(TLista lista) const
{
    const QStringList& itens = FItens[Posicao(lista)];
    const int i = FVisao.IndiceSelecionado(lista);
    return i >= 0 && i < itens.size() ? itens[i] : QString();
}

// --- Creation --------------------------------------------------------------------------------

bool TNucleoTeskVado::FormCreate()
{
    FLog = std::make_unique<TLog>();
    FLog->RichEdit(FVisao.TelaLog());
    // Months of history of a program that lives in the tray go to the daily files, not memory.
    FLog->SetPastaArquivo(TLog::PastaArquivoPadrao());
    Log_ = FLog.get();
    FEstado = {};
    FEstado.Titulo = TituloParado;
    FEstado.TituloAcao = QStringLiteral("Ativar");
    FVisao.MostraMonitoramento(FEstado);
    FVisao.HabilitaAcoes(false, false, false);
    try {
        LerConfiguracao();
        PreencheListas();
        CriaListaArquivos();
        if (FVisao.Intervalo() > 0)
            FEstado.IntervaloMs = FVisao.Intervalo();
        FVisao.MostraMonitoramento(FEstado);
        PrimeirosValoresSessao();
        return true;
    } catch (const std::exception& e) {
        ApplicationEvents1Exception(e);
        return false;
    }
}

void TNucleoTeskVado::LerConfiguracao()
{
    FVisao.SetDirMonitorar(LerIni(Secao, QStringLiteral("MONITORAR"), QString()));
    FVisao.SetIntervalo(LerIni(Secao, QStringLiteral("INTERVALO"), QString()).trimmed().toInt());
    FVisao.SetIniciarAutomatico(LerBooleano(LerIni(Secao, QStringLiteral("AUTOMATICO"), QString())));
}

void TNucleoTeskVado::PreencheListas()
{
    const auto preenche = [this](TLista lista, QStringList itens, const char* chave) {
        FItens[Posicao(lista)] = itens;
        FVisao.PreencheLista(lista, itens);
        FVisao.Seleciona(lista, IndiceParaValor(itens, LerIni(Secao, QString::fromLatin1(chave), QString())));
    };
    preenche(TLista::Empresas, LerItens<TCAD_EMPRESASController>([](TMemTable& r) {
                 return ItemEmpresa(Campo(r, "Codigo_da_Empresa"), Campo(r, "Nome_Fantasia_Empresa"),
                                    Campo(r, "CGC_Empresa"));
             }),
             "EMPRESA");
    preenche(TLista::Usuarios, LerItens<TCAD_USUARIOSController>([](TMemTable& r) {
                 return ItemUsuario(Campo(r, "Chapa"), Campo(r, "Nome"));
             }),
             "USUARIO");
    preenche(TLista::ECF, LerItens<TVEN_RUXO_ECFController>([](TMemTable& r) {
                 return ItemECF(Campo(r, "Numero_ECF"), Campo(r, "Numero_de_Serie"));
             }),
             "ECF");
    FListasCarregadas = true;
}

void TNucleoTeskVado::CriaListaArquivos()
{
    FArquivos = std::make_unique<TMemTable>();
    const auto campo = [this](const char* nome, TTipoCampoMem tipo, int tamanho) {
        TDefCampoMem def;
        def.Nome = QString::fromLatin1(nome);
        def.Tipo = tipo;
        def.Tamanho = tamanho;
        FArquivos->AdicionaDef(def);
    };
    campo("INDICE", TTipoCampoMem::Inteiro, 0);
    campo("NOME", TTipoCampoMem::Texto, 200);
    campo("EXECUTANDO", TTipoCampoMem::Logico, 0);
    campo("PROCESSADO", TTipoCampoMem::Logico, 0);
    FArquivos->CreateDataSet();
}

void TNucleoTeskVado::PrimeirosValoresSessao()
{
    Sys_.Codigo_do_Usuario = Trecho(TextoSelecionado(TLista::Usuarios), 1, 4);
    {
        TCAD_SYSTABLEController systable;
        auto linha = systable.daoSYSTABLE->Busca({}, {});
        Sys_.Codigo_do_Cliente = linha->Codigo_do_Cliente;
    }
    if (!Sys_.Codigo_do_Usuario.isEmpty())
        Sys_.Numero_Controle_Dia = TCAD_CONTRDIAController::NumeroControleDia(Sys_.Codigo_do_Usuario);
    CortaSelecao(true);
}

void TNucleoTeskVado::CortaSelecao(bool nomeFantasia)
{
    const QString empresa = TextoSelecionado(TLista::Empresas);
    const QString usuario = TextoSelecionado(TLista::Usuarios);
    Sys_.Codigo_da_Empresa = Trecho(empresa, 1, 4);
    if (nomeFantasia)
        Sys_.Nome_Fantasia_Empresa = SemBrancosADireita(Trecho(empresa, 8, 27));
    Sys_.Codigo_do_Usuario = Trecho(usuario, 1, 4);
    Sys_.Nome_Usuario = Trecho(usuario, 8, 37);
    Sys_.Numero_do_ECF = Trecho(TextoSelecionado(TLista::ECF), 1, 2);
}

// --- Activation ------------------------------------------------------------------------------

bool TNucleoTeskVado::FormActivate()
{
    if (Sys_.Fechar) {
        FVisao.FecharJanela();
        return false;
    }
    // The warm-up lets pending events run, and a dialog closing in between activates the window
    // again: that activation must not start a second warm-up inside this one.
    if (FAtivando)
        return false;
    FAtivando = true;
    if (Log_)
        Log_->TextoSimples(QStringLiteral("Aguarde carregando dados"));
    bool concluiu = false;
    try {
        UI().CursorOcupado(true);
        UI().ProgressoPosicao(0);
        UI().ProgressoMaximo(TControladoresCompartilhados::Quantidade - 1);
        UI().ProgressoVisivel(true);
        FControladores->CriaTodos([](int passo) {
            UI().ProgressoPosicao(passo);
            UI().ProcessarEventos();
        });
        if (Log_)
            Log_->TextoOK(QStringLiteral("Dados carregados"));
        FVisao.HabilitaAcoes(true, true, true);
        if (CarregarParametros()) {
            DefineMonitoramento(FVisao.IniciarAutomatico());
        } else {
            Erro(QStringLiteral("Parametros não carregados verificar !"));
            DefineMonitoramento(false);
            FVisao.HabilitaAcoes(false, true, true);
        }
        concluiu = true;
    } catch (const std::exception& e) {
        ApplicationEvents1Exception(e);
    }
    UI().ProgressoPosicao(0);
    UI().ProgressoVisivel(false);
    UI().CursorOcupado(false);
    FAtivando = false;
    return concluiu;
}

bool TNucleoTeskVado::CarregarParametros()
{
    {
        TCAD_EMPRESASController c;
        auto empresa = c.daoEMPRESAS->Busca({QStringLiteral("Codigo da Empresa")}, {Sys_.Codigo_da_Empresa});
        if (empresa->Codigo_da_Empresa.isEmpty()) {
            Erro(QStringLiteral("Empresa não Cadastrada !"));
            return false;
        }
        Sys_.CGC_da_Empresa = empresa->CGC_Empresa;
        Sys_.Atividade_da_Empresa = empresa->Atividade;
    }
    QString destinacao;
    {
        TVEN_P_CUPOMController c;
        auto cupom = c.daoP_CUPOM->Busca({QStringLiteral("Codigo_Empresa")}, {Sys_.Codigo_da_Empresa});
        if (cupom->Codigo_Empresa.isEmpty()) {
            Erro(QStringLiteral("Parametros não Cadastrado para esta Empresa !"));
            return false;
        }
        Sys_.Codigo_do_Cliente = cupom->Codigo_Cliente;
        Sys_.Codigo_do_Vendedor = cupom->Codigo_Vendedor;
        Sys_.Codigo_da_Transportadora = cupom->Codigo_Transportadora;
        destinacao = cupom->Codigo_Destinacao;
    }
    {
        TVEN_DESTINController c;
        auto destino = c.daoDESTIN->Busca({QStringLiteral("Codigo da Destinacao")}, {destinacao});
        if (destino->Codigo_da_Destinacao.isEmpty()) {
            Erro(QStringLiteral("Codigo da destinação da P_Cupom está incorreto !"));
            return false;
        }
        Sys_.Codigo_da_Destinacao = destino->Codigo_da_Destinacao;
        Sys_.Descricao_da_Destinacao = destino->Descricao_da_Destinacao;
        Sys_.CFO = destino->CFO;
        Sys_.Atualiza_Estoque = destino->Atualiza_Estoque;
        Sys_.Tipo_Movimento_Estoque = destino->Tipo_Movimento_Estoque;
        Sys_.Codigo_da_Destinacao = destinacao;
    }
    {
        TVEN_TRANSPORController c;
        auto transp = c.daoTRANSPOR->Busca({QStringLiteral("Codigo da Transportadora")},
                                           {Sys_.Codigo_da_Transportadora});
        if (!transp->Codigo_da_Transportadora.isEmpty()) {
            Sys_.Codigo_da_Transportadora = transp->Codigo_da_Transportadora;
            Sys_.Nome_Fantasia_Transport = transp->Nome_Fantasia_Transport;
            Sys_.Placa_do_Veiculo = transp->Placa_do_Veiculo;
            Sys_.UF_Veiculo = transp->UF_Veiculo;
            Sys_.Frete_por_Conta = transp->Frete_por_Conta;
        }
    }
    return true;
}

// --- Monitoring ------------------------------------------------------------------------------

void TNucleoTeskVado::DefineMonitoramento(bool ativo)
{
    FEstado.Ativo = ativo;
    FEstado.Titulo = ativo ? TituloMonitorando : TituloParado;
    FEstado.TituloAcao = ativo ? QStringLiteral("Desativar") : QStringLiteral("Ativar");
    FVisao.MostraMonitoramento(FEstado);
}

void TNucleoTeskVado::IntervaloDoEdit()
{
    if (FVisao.Intervalo() > 0)
        FEstado.IntervaloMs = FVisao.Intervalo();
}

void TNucleoTeskVado::actAtivarExecute()
{
    try {
        IntervaloDoEdit();
        CortaSelecao(false);
        DefineMonitoramento(!FEstado.Ativo);
    } catch (const std::exception& e) {
        ApplicationEvents1Exception(e);
    }
}

void TNucleoTeskVado::Timer1Timer()
{
    if (FEmCiclo)
        return;
    FEmCiclo = true;
    FCicloFalhou = false;
    try {
        if (!FArquivos)
            CriaListaArquivos();
        MonitorarPasta(FVisao.DirMonitorar(), QString::fromLatin1(Mascara), *FArquivos);
    } catch (const std::exception& e) {
        FCicloFalhou = true;
        ApplicationEvents1Exception(e);
    }
    FEmCiclo = false;
}

void TNucleoTeskVado::MonitorarPasta(const QString& Diretorio, const QString& Mascara, TMemTable& Lista)
{
    // A directory typed by hand often lacks the final separator that the folder chooser adds;
    // gluing "ONLINE" straight onto it would look into a folder that never exists while the
    // directory itself does, and the cycle would silently never import anything.
    QString dir = Diretorio;
    if (!dir.isEmpty() && !dir.endsWith(u'/') && !dir.endsWith(u'\\'))
        dir += u'/';
    const QString pasta = dir + QStringLiteral("ONLINE/");

    const bool reducaoZ = VerificarReducaoZ();
    const bool sessao = !Sys_.Codigo_da_Empresa.isEmpty() && !Sys_.CGC_da_Empresa.isEmpty() &&
                        !Sys_.Codigo_do_Usuario.isEmpty() && !Sys_.Nome_Usuario.isEmpty() &&
                        !Sys_.Numero_do_ECF.isEmpty() && reducaoZ;
    const bool existe = !Diretorio.isEmpty() && QDir(Diretorio).exists();
    // A directory this session already monitored that is gone now is a share or a drive that
    // dropped out, not a setting to correct: the timer stays on and the import resumes by itself
    // when it is back. A directory never seen complete is still the user's to correct.
    if (sessao && !existe && !Diretorio.isEmpty() && dir == FDiretorioMonitorado) {
        PastaAusente(dir);
        return;
    }
    if (!sessao || !existe) {
        SessaoIncompleta(Diretorio, reducaoZ);
        return;
    }
    if (dir != FDiretorioMonitorado) {
        FDiretorioMonitorado = dir;
        FOnlineVisto = false;
        FPastaAusente.clear();
    }

    // Shipments REMESSA refused earlier go before anything this cycle imports, so Ruxo gets the
    // stock positions in the order they were taken.
    if (RemessaPendente::Aguardando(dir) > 0)
        RemessaPendente::Entregar(dir);

    // Before Ruxo made its folder there is nothing to say; once seen, a missing ONLINE/ is a fault.
    if (!QFileInfo(pasta).isDir()) {
        if (FOnlineVisto)
            PastaAusente(pasta);
        return;
    }
    FOnlineVisto = true;
    PastaDeVolta();

    // An import a crash interrupted is finished or undone before the folder is looked at.
    if (!FRecuperados.contains(dir)) {
        TExecCmd::Recuperar(dir);
        FRecuperados.insert(dir);
    }
    QStringList arquivos =
        QDir(pasta).entryList({Mascara}, QDir::Files | QDir::Hidden | QDir::System, QDir::Unsorted);
    if (arquivos.isEmpty())
        return;
    arquivos = FVigia.Prontos(pasta, arquivos);
    if (arquivos.isEmpty())
        return;
    // Only the first file is looked up: a file the import left behind blocks the tick, as it
    // always has, and the later files are handed on without a look-up.
    if (Lista.Locate(QStringLiteral("NOME"), arquivos.first()))
        return;
    TLoteImportacao::TDados dados;
    dados.Codigo_da_Empresa = Sys_.Codigo_da_Empresa;
    dados.CGC_Empresa = Sys_.CGC_da_Empresa;
    dados.Codigo_do_Usuario = Sys_.Codigo_do_Usuario;
    dados.Nome_do_Usuario = Sys_.Nome_Usuario;
    dados.Diretorio = dir;
    dados.FCDS = &Lista;
    dados.FControladores = FControladores.get();
    dados.Parar = FParar;
    TLoteImportacao::ImportarArquivos(dados, arquivos, FExecutor);
}

void TNucleoTeskVado::PastaAusente(const QString& caminho)
{
    if (FPastaAusente == caminho)
        return;
    FPastaAusente = caminho;
    Erro(QStringLiteral("Pasta inacessível: %1; o monitoramento continua e a importação retoma quando ela voltar")
             .arg(QDir::toNativeSeparators(caminho)));
}

void TNucleoTeskVado::PastaDeVolta()
{
    if (FPastaAusente.isEmpty())
        return;
    if (Log_)
        Log_->TextoAtencao(QStringLiteral("Pasta acessível de novo: %1; importação retomada")
                               .arg(QDir::toNativeSeparators(FPastaAusente)));
    FPastaAusente.clear();
}

void TNucleoTeskVado::SessaoIncompleta(const QString& Diretorio, bool reducaoZ)
{
    DefineMonitoramento(false);
    FVisao.NovosMarcadores();
    FVisao.MostraPagina(IVisaoTeskVado::TPagina::Configuracoes);
    if (Log_)
        Log_->Espaco();
    const auto falta = [this](bool falhou, const char* linha, TCampoTela campo, const char* marcador) {
        if (!falhou)
            return;
        Erro(QString::fromUtf8(linha));
        FVisao.MarcaCampo(campo, QString::fromUtf8(marcador));
    };
    falta(Diretorio.isEmpty() || !QDir(Diretorio).exists(), "Diretório para monitoramento inexistente",
          TCampoTela::DirMonitorar, "Diretório para monitoramento inexistente");
    falta(Sys_.Codigo_da_Empresa.isEmpty(), "Falta o código da empresa em Sys_.", TCampoTela::Empresas,
          "Informe o código da Empresa");
    falta(Sys_.CGC_da_Empresa.isEmpty(), "Falta o CGC da Empresa em Sys_.", TCampoTela::Empresas,
          "Informe o CGC da Empresa");
    falta(Sys_.Codigo_do_Usuario.isEmpty(), "Falta o código do usuário em Sys_.", TCampoTela::Usuarios,
          "Informe o código do usuário");
    falta(Sys_.Nome_Usuario.isEmpty(), "Falta o nome do usuário em Sys_.", TCampoTela::Usuarios,
          "Informe o nome do usuário");
    falta(Sys_.Numero_do_ECF.isEmpty(), "Falta o numero do ECF em Sys_.", TCampoTela::ECF, "Informe o número do ECF");
    if (!reducaoZ) {
        if (Log_)
            Log_->Espaco();
        Erro(QStringLiteral("Ainda não foi feita a importação da redução Z !"));
    }
}

bool TNucleoTeskVado::VerificarReducaoZ()
{
    if (!Sys_.Numero_do_CRO.isEmpty())
        return true;
    struct TLibera
    {
        TControladoresCompartilhados& c;
        ~TLibera() { c.VEN_ECF_C.reset(); }
    } libera{*FControladores};
    FControladores->VEN_ECF_C = std::make_unique<TVEN_ECF_CController>();
    auto linha = FControladores->VEN_ECF_C->daoECF_C->Busca(
        {QStringLiteral("Codigo da Empresa"), QStringLiteral("Data")},
        {Sys_.Codigo_da_Empresa, QVariant::fromValue(TDateTime::Now())});
    if (linha->Codigo_da_Empresa.isEmpty())
        return false;
    bool inteiro = false;
    const int cro = linha->Reinicio_Operacao.trimmed().toInt(&inteiro);
    if (!inteiro)
        throw EConvertError(QStringLiteral("'%1' não é um valor inteiro válido").arg(linha->Reinicio_Operacao));
    // Two digits: a longer counter keeps its first two.
    Sys_.Numero_do_CRO = FormataTexto(QString::number(cro), 2, u'N').left(2);
    return true;
}

// --- Folder, log, close ------------------------------------------------------------------------

void TNucleoTeskVado::PastaEscolhida(const QString& pasta)
{
    if (FArquivos)
        FArquivos->EmptyDataSet();
    FVisao.SetDirMonitorar(pasta);
}

void TNucleoTeskVado::LimparLog()
{
    if (Log_)
        Log_->Clear();
}

void TNucleoTeskVado::GravarConfiguracao()
{
    GravarIni(Secao, QStringLiteral("INTERVALO"), QString::number(FVisao.Intervalo()));
    GravarIni(Secao, QStringLiteral("AUTOMATICO"), FVisao.IniciarAutomatico() ? QStringLiteral("-1") : QStringLiteral("0"));
    GravarIni(Secao, QStringLiteral("MONITORAR"), FVisao.DirMonitorar());
    // Lists that were never filled would write blanks over the user's saved choices.
    if (!FListasCarregadas)
        return;
    GravarIni(Secao, QStringLiteral("EMPRESA"), TextoSelecionado(TLista::Empresas));
    GravarIni(Secao, QStringLiteral("USUARIO"), SemBrancosADireita(TextoSelecionado(TLista::Usuarios)));
    GravarIni(Secao, QStringLiteral("ECF"), TextoSelecionado(TLista::ECF));
}

void TNucleoTeskVado::FormClose(bool gravarConfiguracao)
{
    if (gravarConfiguracao) {
        try {
            GravarConfiguracao();
        } catch (const std::exception& e) {
            ApplicationEvents1Exception(e);
        }
    }
    if (Log_ == FLog.get())
        Log_ = nullptr;
    FLog.reset();
    FVisao.LiberaMarcadores();
    FControladores->Libera();
    DefineMonitoramento(false);
}
