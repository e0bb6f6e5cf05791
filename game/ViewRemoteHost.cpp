#include "game/ViewRemoteHost.h"

#include "game/GameEngine.h"

CViewRemoteHost::CViewRemoteHost(CGameEngine& engine, CommandPoster postCommand, StateListener stateChanged)
    : engine_(engine)
    , postCommand_(std::move(postCommand))
    , stateChanged_(std::move(stateChanged))
{
}

void CViewRemoteHost::StopPlayer(int player)
{
    // The engine's stop touches only the players' atomic flags and starts a sound.
    engine_.StopPlayer(player);
}

void CViewRemoteHost::PostCommand(int commandId)
{
    if (postCommand_ && commandId > 0)
        postCommand_(static_cast<std::uint32_t>(commandId));
}

void CViewRemoteHost::RemoteStateChanged(std::string_view portName)
{
    if (stateChanged_)
        stateChanged_(std::string(portName));
}
