#include "buzzers/BuzzerControl.h"

#include "buzzers/BuzzerAddress.h"
#include "buzzers/BuzzerToken.h"
#include "buzzers/JoinCodeWindow.h"
#include "support/SettingsKey.h"

#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>
#include <QStatusBar>

#include <algorithm>
#include <cmath>

int BuzzerWindowSetting()
{
    std::int32_t window = CBuzzerControl::kDefaultWindowMs;
    CSettingsKey().ReadDword("BuzzerWindow", window);
    return std::clamp(window, 0, CBuzzerControl::kMaxWindowMs);
}

CBuzzerControl::CBuzzerControl(IBuzzerGame& game, QWidget* frame, QObject* parent)
    : QObject(parent)
    , game_(game)
    , frame_(frame)
{
    if (auto* window = qobject_cast<QMainWindow*>(frame)) {
        statePane_ = new QLabel(window->statusBar());
        statePane_->setObjectName(QStringLiteral("buzzerPane"));
        marginPane_ = new QLabel(window->statusBar());
        marginPane_->setObjectName(QStringLiteral("marginPane"));
        window->statusBar()->addPermanentWidget(statePane_);
        window->statusBar()->addPermanentWidget(marginPane_);
    }
    ShowState();
}

CBuzzerControl::~CBuzzerControl()
{
    server_.reset();
    delete codeWindow_.data();
    delete statePane_.data();
    delete marginPane_.data();
}

void CBuzzerControl::SetEndpoint(const QHostAddress& address, quint16 port)
{
    address_ = address;
    port_ = port;
}

bool CBuzzerControl::SwitchOn(bool quiet)
{
    if (IsOn())
        return true;
    SBuzzerServerOptions options;
    options.address = address_.isNull() ? DefaultBuzzerAddress() : address_;
    options.port = port_;
    options.token = MakeBuzzerToken();
    options.windowMs = BuzzerWindowSetting();
    options.idleLimitMs = idleLimitMs_;
    auto server = std::make_unique<CBuzzerServer>(game_);
    if (!server->Listen(options)) {
        if (!quiet && frame_)
            QMessageBox::critical(frame_, QStringLiteral("Fehler"),
                                  QStringLiteral("Die Handy-Buzzer können %1 Port %2 nicht öffnen.")
                                      .arg(options.address.toString())
                                      .arg(options.port));
        return false;
    }
    server_ = std::move(server);
    joinUrl_ = BuzzerJoinUrl(options.address, server_->Port(), QString::fromStdString(options.token));
    margin_.reset();
    connect(server_.get(), &CBuzzerServer::PhonesChanged, this, &CBuzzerControl::ShowState);
    connect(server_.get(), &CBuzzerServer::Decided, this, [this](double margin, bool known) {
        margin_ = known ? std::optional(margin) : std::nullopt;
        ShowState();
        emit MarginChanged(MarginText());
    });
    if (frame_) {
        if (!codeWindow_)
            codeWindow_ = new CJoinCodeWindow(frame_);
        codeWindow_->SetUrl(joinUrl_);
        codeWindow_->show();
    }
    ShowState();
    emit SwitchedOn(true);
    return true;
}

void CBuzzerControl::SwitchOff()
{
    if (!IsOn())
        return;
    server_.reset();
    joinUrl_.clear();
    margin_.reset();
    if (codeWindow_)
        codeWindow_->hide();
    ShowState();
    emit SwitchedOn(false);
    emit MarginChanged(MarginText());
}

QString CBuzzerControl::MarginText() const
{
    if (!margin_)
        return QStringLiteral("Vorsprung: –");
    return QStringLiteral("Vorsprung: %1 ms").arg(static_cast<long long>(std::llround(*margin_)));
}

void CBuzzerControl::ShowState()
{
    if (statePane_) {
        statePane_->setVisible(IsOn());
        if (IsOn())
            statePane_->setText(QStringLiteral("Handy-Buzzer: %1 (%2 verbunden)").arg(joinUrl_).arg(server_->PhoneCount()));
    }
    if (marginPane_) {
        marginPane_->setVisible(IsOn());
        marginPane_->setText(MarginText());
    }
}
