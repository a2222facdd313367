// IKMRProgressBar: the progress control the engine steps during uploads.
#pragma once

// Implemented by the dialog's progress bar and the command line's progress line.
// Called on the thread that runs the upload.
class IKMRProgressBar
{
public:
    virtual ~IKMRProgressBar() = default;
    virtual void SetRange(int lower_i, int upper_i) = 0;
    virtual void SetStep(int step_i) = 0;
    virtual void StepIt() = 0;
    virtual void SetPos(int position_i) = 0;
};

// Lets a user interface repaint between set-content exchanges without handling input.
class IKMRPaintPump
{
public:
    virtual ~IKMRPaintPump() = default;
    virtual void PumpPaintMessages() = 0;
};
