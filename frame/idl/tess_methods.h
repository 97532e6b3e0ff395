// The IDL form of the method rows of a class identity header: each row becomes a method of the
// class interface with its member id, [in] parameters and [out, retval] result.
#define TESS_METHOD1(member, result, name, type1, name1) \
    [id(member)] HRESULT name([in] type1 name1, [ out, retval ] result* name);
#define TESS_METHOD3(member, result, name, type1, name1, type2, name2, type3, name3) \
    [id(member)] HRESULT name([in] type1 name1, [in] type2 name2, [in] type3 name3,  \
                              [ out, retval ] result* name);
