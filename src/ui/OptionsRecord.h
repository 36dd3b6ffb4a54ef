#pragma once

//==============================================================================
/** A copy of an options record with one member changed: what each chained
    setter of a widget's options (ButtonComponent::Options and the others)
    returns, so that a call site names every setting it makes.
*/
template <typename Record, typename Value>
Record withMember (Record record, Value Record::*member, Value value)
{
    record.*member = value;
    return record;
}
