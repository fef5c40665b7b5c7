#pragma once
// Helpers for tests that drive real windows (message pumping, scripted
// answers to modal prompts).
