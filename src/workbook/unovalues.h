#pragma once

#include <QString>

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/uno/Sequence.hxx>
#include <rtl/ustring.hxx>

#include <initializer_list>

// Values as the office's interfaces take them.
namespace tsumiki {

rtl::OUString toOu(const QString& s);
QString fromOu(const rtl::OUString& s);

// The file's absolute path as a URL, every non-ASCII character percent-encoded, as the office reports it back.
QString fileUrl(const QString& path);

com::sun::star::beans::PropertyValue property(const char* name, const com::sun::star::uno::Any& value);
com::sun::star::uno::Sequence<com::sun::star::beans::PropertyValue> properties(
    std::initializer_list<com::sun::star::beans::PropertyValue> list);

}  // namespace tsumiki
