// The filter object that the audio streamer drives.
#include "instrument/AudioFilterBase.h"

namespace corvex {

void AudioFilterBase::setParameterNotifyingHost(int index, float value) {
    if (index < getNumParameters() && hostCallbacks_ != nullptr)
        hostCallbacks_->informHostOfParameterChange(index, value, true);
    else
        setParameter(index, value);
}

} // namespace corvex
