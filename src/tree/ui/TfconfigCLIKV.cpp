#include "tree/ui/TfconfigCLIKV.h"

#include "app/AppContext.h"

#include <QFile>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace zentro {

namespace {

enum class Case { Upper, Lower, Digits, AsIs };

} // namespace

TfconfigCLIKV::TfconfigCLIKV(AppContext &app, QWidget *parent)
    : QWidget(parent)
    , m_app(app)
{
    setObjectName(QStringLiteral("fconfigCLIKV"));
    setWindowTitle(QStringLiteral("Configuração Clientes KV"));
    const auto stored = LoadOwnerRecord(app);
    if (!stored) {
        app.showMessage(QStringLiteral("Há algum erro na configuração do Cliente Kavora."));
        return;
    }
    m_valid = true;
    m_stored = *stored;

    auto *layout = new QVBoxLayout(this);
    auto *title = new QLabel(QStringLiteral("Configuração do Cliente Kavora"), this);
    QFont f = title->font();
    f.setBold(true);
    f.setPointSize(f.pointSize() + 2);
    title->setFont(f);
    layout->addWidget(title);

    auto *row = new QHBoxLayout;
    auto *form = new QFormLayout;
    auto add = [&](const QString &key, const QString &label, const QString &value, int max, Case c, bool readOnly) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(key);
        edit->setMaxLength(max);
        edit->setReadOnly(readOnly);
        if (c == Case::Digits)
            edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d*")), edit));
        if (c == Case::Upper || c == Case::Lower) {
            connect(edit, &QLineEdit::textEdited, edit, [edit, c](const QString &t) {
                const int pos = edit->cursorPosition();
                edit->setText(c == Case::Upper ? t.toUpper() : t.toLower());
                edit->setCursorPosition(pos);
            });
        }
        edit->setText(c == Case::Upper ? value.toUpper() : c == Case::Lower ? value.toLower() : value);
        form->addRow(label, edit);
        m_fields.insert(key, edit);
    };
    add(QStringLiteral("edCodigo"), QStringLiteral("Código:"), QString::number(m_stored.id), 10, Case::AsIs, true);
    add(QStringLiteral("edNomeFantasia"), QStringLiteral("Nome Fantasia :"), app.installation.ownerTradeName.left(40),
        40, Case::Upper, true);
    add(QStringLiteral("edRazao"), QStringLiteral("Razão Social :"), m_stored.razao, 50, Case::Upper, false);
    add(QStringLiteral("edEndereco"), QStringLiteral("Endereço:"), m_stored.endereco, 40, Case::Upper, false);
    add(QStringLiteral("edBairro"), QStringLiteral("Bairro :"), m_stored.bairro, 30, Case::Upper, false);
    add(QStringLiteral("edCep"), QStringLiteral("Cep :"), m_stored.cep, 8, Case::Digits, false);
    add(QStringLiteral("edDDD"), QStringLiteral("DDD :"), m_stored.ddd, 3, Case::Digits, false);
    add(QStringLiteral("edFone"), QStringLiteral("Telefone: "), m_stored.fone, 9, Case::Digits, false);
    add(QStringLiteral("edResponsavel"), QStringLiteral("Responsável :"), m_stored.responsavel, 60, Case::Lower, false);
    add(QStringLiteral("edSite"), QStringLiteral("Site :"), m_stored.site, 60, Case::Lower, false);
    row->addLayout(form, 1);

    auto *logoBox = new QGroupBox(QStringLiteral("Logomarca Configurada"), this);
    auto *logoLayout = new QVBoxLayout(logoBox);
    m_logo = new QLabel(logoBox);
    m_logo->setFixedSize(112, 122);
    m_logo->setAlignment(Qt::AlignCenter);
    m_logo->setFrameStyle(QFrame::Box | QFrame::Sunken);
    logoLayout->addWidget(m_logo);
    logoLayout->addWidget(new QLabel(QStringLiteral("56 X 61 pixels"), logoBox));
    auto *btLogo = new QPushButton(QStringLiteral("Seleciona/Grava Logo"), logoBox);
    logoLayout->addWidget(btLogo);
    row->addWidget(logoBox);
    layout->addLayout(row);
    showLogo(m_stored.logo);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    auto *btSalvar = new QPushButton(QStringLiteral("Salvar Configuraçõies"), this);
    auto *btSair = new QPushButton(QStringLiteral("Sair sem Salvar"), this);
    buttons->addWidget(btSalvar);
    buttons->addWidget(btSair);
    layout->addLayout(buttons);

    connect(btSalvar, &QPushButton::clicked, this, &TfconfigCLIKV::btSalvarClick);
    connect(btSair, &QPushButton::clicked, this, &QWidget::close);
    connect(btLogo, &QPushButton::clicked, this, [this] {
        m_logo->clear();
        const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Logomarca"), QString(),
                                                          QStringLiteral("Imagens JPEG (*.jpg *.jpeg)"));
        if (!path.isEmpty())
            storeLogoFile(path);
    });
}

void TfconfigCLIKV::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

QLineEdit *TfconfigCLIKV::field(const QString &name) const
{
    return m_fields.value(name);
}

void TfconfigCLIKV::showLogo(const QByteArray &jpeg)
{
    QImage image;
    if (!jpeg.isEmpty() && image.loadFromData(jpeg, "JPEG"))
        m_logo->setPixmap(
            QPixmap::fromImage(image).scaled(m_logo->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    else
        m_logo->clear();
}

bool TfconfigCLIKV::storeLogoFile(const QString &path)
{
    QFile file(path);
    QImage probe;
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly))
        bytes = file.readAll();
    if (bytes.isEmpty() || !probe.loadFromData(bytes, "JPEG") || !SaveOwnerLogo(m_app, bytes)) {
        m_app.showMessageBox(QStringLiteral("Houve problema ao carregar a imagem!"), QStringLiteral("Erro"),
                             mb::IconError);
        return false;
    }
    m_stored.logo = bytes;
    showLogo(bytes);
    return true;
}

bool TfconfigCLIKV::btSalvarClick()
{
    OwnerRecord edited = m_stored;
    edited.razao = field(QStringLiteral("edRazao"))->text();
    edited.endereco = field(QStringLiteral("edEndereco"))->text();
    edited.bairro = field(QStringLiteral("edBairro"))->text();
    edited.cep = field(QStringLiteral("edCep"))->text();
    edited.ddd = field(QStringLiteral("edDDD"))->text();
    edited.fone = field(QStringLiteral("edFone"))->text();
    edited.responsavel = field(QStringLiteral("edResponsavel"))->text();
    edited.site = field(QStringLiteral("edSite"))->text();
    if (!SaveOwnerRecord(m_app, m_stored, edited)) {
        m_app.showMessageBox(QStringLiteral("Não foi possível gravar a configuração do Cliente Kavora."),
                             QStringLiteral("Erro"), mb::IconError);
        return false;
    }
    emit saved(m_app.installation.ownerTradeName);
    close();
    return true;
}

} // namespace zentro
