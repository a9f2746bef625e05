#pragma once
// Every event handler runs through GuardedDispatch: an exception ends the
// handler and goes to the application's failure report, and never crosses
// into Qt, which cannot unwind through its own frames.

#include <QObject>

#include <exception>
#include <utility>

namespace kw {

using TObject = QObject;

void ReportHandlerFailure(std::exception_ptr failure);

template <class Body>
void GuardedDispatch(Body&& body) noexcept
{
    try {
        std::forward<Body>(body)();
    } catch (...) {
        ReportHandlerFailure(std::current_exception());
    }
}

// Connects a component's signal to a form's handler `void Handler(TObject* Sender)`.
template <class Component, class Signal, class Form>
void ConnectHandler(Component* sender, Signal signal, Form* form, void (Form::*handler)(TObject*))
{
    QObject::connect(sender, signal, form, [sender, form, handler] {
        GuardedDispatch([&] { (form->*handler)(sender); });
    });
}

} // namespace kw
