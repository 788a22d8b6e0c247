// The title and configuration menus, built once when the game object is created.
#pragma once

class TGame;

void buildMenus(TGame& game);
