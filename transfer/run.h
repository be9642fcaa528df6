// The command line and the clipboard transfer run.
#pragma once

struct TransferMode {
    bool move;       // "-m"
    bool overwrite;  // "-o"
};

// Copies or moves every item of the clipboard's file list into the current
// folder. Returns the exit status: 0 when every item and folder level went
// through, 1 otherwise.
int TransferRun(TransferMode mode);

// The whole program: reads the command line and returns the exit status.
int KeltoMain(int argc, char** argv);
