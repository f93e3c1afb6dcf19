// The configuration file config.cfg: proportions of the case and keys, the zoom range and
// the background colour. Read once at start-up from the working directory.
#pragma once

#include <cstdio>

struct ConfigRecord {
    float FAR_LIMIT;
    float NEAR_LIMIT;
    float THICKNESS;
    float LENGTH;
    float WIDTH;
    float FILLET;
    float SPACING;
    float BACKGROUNDCOLOR_R;
    float BACKGROUNDCOLOR_G;
    float BACKGROUNDCOLOR_B;
};

constexpr ConfigRecord DefaultConfig{10.0f,  0.7f,   0.03f,  0.46f,  0.3f,
                                     0.025f, 0.005f, 255.0f, 255.0f, 255.0f};

// The one record of the program; it holds the defaults from program start on.
extern ConfigRecord Config;

constexpr const char* ConfigFileName = "config.cfg";

// Fills the record from config.cfg in the current directory. When nothing of that name exists,
// writes a commented defaults file instead; a file that exists but cannot be read, and
// anything that is not a regular file (a FIFO, a device, a directory), is left untouched and
// the defaults stay. Nothing is ever reported; keys absent from the file keep their values.
void ReadConfig(ConfigRecord& config);
// The reading part alone: applies every line of an open file to the record. A configuration
// is a few hundred bytes: what lies beyond MaxConfigBytes is not read.
constexpr std::size_t MaxConfigBytes = 16u << 20;
void ReadConfigFile(std::FILE* file, ConfigRecord& config);
