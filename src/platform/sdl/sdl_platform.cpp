// The SDL2 backend (being written).
