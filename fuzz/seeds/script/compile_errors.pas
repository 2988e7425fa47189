// Several errors are reported in one pass, each with its position.
var
  a: Integer;
begin
  a := ;
  b := 1;
  a := 2
  a := 3;
  Foo(1);
end.
// expect compile error: [line 5:8] Error at ';': Expected an expression
// expect compile error: [line 6:3] Error at 'b': Unknown identifier 'b'
// expect compile error: [line 8:3] Error at 'a': Expected ';' between statements
// expect compile error: [line 9:3] Error at 'Foo': Unknown identifier 'Foo'
