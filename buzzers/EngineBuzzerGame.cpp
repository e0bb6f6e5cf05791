#include "buzzers/EngineBuzzerGame.h"

#include "game/GameEngine.h"
#include "remote/RemoteHost.h"

bool CEngineBuzzerGame::PuzzleRunning() const
{
    return engine_.State().Running == 1;
}

bool CEngineBuzzerGame::AnyPlayerStopped() const
{
    return engine_.State().AnyStopped();
}

bool CEngineBuzzerGame::StopPlayer(int side)
{
    remote_.StopPlayer(side);
    const CGameState& state = engine_.State();
    return state.Stopped[static_cast<std::size_t>(side)].load() != 0 &&
           state.Stopped[static_cast<std::size_t>(1 - side)].load() == 0;
}
