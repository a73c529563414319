#pragma once
// The time limits of every transfer. A dead or silent device must never hold the program for
// more than about half a minute. Tests may shorten the limits through environment variables
// (whole seconds, 1 to 600), read at every transfer:
//   VELNOR_TRANSPORT_CONNECT_SECONDS  connecting                     (default 10)
//   VELNOR_TRANSPORT_STALL_SECONDS    no byte at all arriving for    (default 15)
//   VELNOR_TRANSPORT_JOB_SECONDS      a whole job exchange           (default 30)

struct TransferLimits {
    long connectSeconds = 10;
    long stallSeconds = 15;
    long jobSeconds = 30;
};

// The defaults with any valid environment override applied.
TransferLimits currentTransferLimits();
