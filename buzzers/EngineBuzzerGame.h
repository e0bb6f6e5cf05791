#pragma once
// The game as the phones' referee sees it: the engine's state, and the serial box's own way to
// stop a player, so a phone's press is treated exactly like the box's.

#include "buzzers/BuzzerReferee.h"

class CGameEngine;
class IRemoteHost;

class CEngineBuzzerGame final : public IBuzzerGame {
public:
    CEngineBuzzerGame(CGameEngine& engine, IRemoteHost& remote) : engine_(engine), remote_(remote) {}

    bool PuzzleRunning() const override;
    bool AnyPlayerStopped() const override;
    bool StopPlayer(int side) override;

private:
    CGameEngine& engine_;
    IRemoteHost& remote_;
};
