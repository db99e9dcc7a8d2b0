#pragma once
// The user at a simulated console. He reads the messages of the receiving program as a real
// one would, and prints again when one asks him to.

class IReprintUser {
public:
    virtual ~IReprintUser() = default;
    // The receiving program asked for another print: the user gives it once the console is
    // idle, while he still has re-prints to give.
    virtual void AskForReprint() = 0;
};
