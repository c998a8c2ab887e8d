#pragma once
#include "app/Program.h"

// Runs the main menu until the player chooses; returns the menu code.
MenuCode RunMainMenu();
